# framehost.exe end to end under wine: the example clip as the generator
# writes it by default (720x480, 150 frames of 3:2 pulldown), and a small
# one.
set(vorlith_clip ${CMAKE_CURRENT_BINARY_DIR}/pulldown_clip.y4m)
set(vorlith_small_clip ${CMAKE_CURRENT_BINARY_DIR}/small_clip.y4m)
vorlith_add_program_test(NAME framehost_make_clip COMMAND make_pulldown_clip ${vorlith_clip})
vorlith_add_program_test(NAME framehost_make_small_clip
  COMMAND make_pulldown_clip --size=64x48 --frames=5 ${vorlith_small_clip})
# The smallest frames that report anything, and many of them: 4000 report
# lines of 28 or 29 bytes.
set(vorlith_long_clip ${CMAKE_CURRENT_BINARY_DIR}/long_clip.y4m)
vorlith_add_program_test(NAME framehost_make_long_clip
  COMMAND make_pulldown_clip --size=64x32 --frames=10000 ${vorlith_long_clip})
set_tests_properties(framehost_make_clip framehost_make_small_clip framehost_make_long_clip
  PROPERTIES FIXTURES_SETUP example_clips)

# vorlith_add_framehost_test(NAME EXIT N [OUTPUT TEXT] [ERROR REGEX]
#                            [UNDER_DEBUGGER] ARGS ...)
# Runs framehost.exe with ARGS through expect_output.cmake, under
# debug_listener with UNDER_DEBUGGER.
function(vorlith_add_framehost_test name)
  cmake_parse_arguments(PARSE_ARGV 1 run "UNDER_DEBUGGER" "EXIT;OUTPUT;ERROR" "ARGS")
  set(program $<TARGET_FILE:framehost>)
  if(run_UNDER_DEBUGGER)
    # Windows finds framehost.exe beside the listener.
    set(program $<TARGET_FILE:debug_listener> framehost.exe)
  endif()
  vorlith_add_program_test(NAME framehost_${name}
    COMMAND ${CMAKE_COMMAND} -DEXPECTED_EXIT=${run_EXIT} -DEXPECTED_OUTPUT=${run_OUTPUT}
            -DEXPECTED_ERROR=${run_ERROR}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/scripts/expect_output.cmake
            ${CMAKE_CROSSCOMPILING_EMULATOR} ${program} ${run_ARGS})
  set_tests_properties(framehost_${name} PROPERTIES
    FIXTURES_REQUIRED "wine_session;example_clips")
endfunction()

# Frames 2 and 3 of every five weave two film frames; every report line
# passes to standard error byte for byte, and the plugin is found beside
# framehost.exe.
vorlith_add_framehost_test(reports_two_adjacent_cycle_positions EXIT 0
  ERROR "^(\r[23] frame=[0-9]+ --- Blocks=[0-9]+\n)+framehost: [^\n]*pulldown_clip.y4m: 150 frames processed, 60 reported \\(by cycle position 0:0 1:0 2:30 3:30 4:0\\)\n  frames 0-149: telecine, woven at cycle positions 2 and 3\n$"
  ARGS ${vorlith_clip})
# The refusal is a script error thrown by the host through the plugin's
# frames back to the host.
vorlith_add_framehost_test(reports_a_refusal EXIT 1
  ERROR "^framehost: [^\n]*pulldown_clip.y4m: Vorlith: requires SSE\n$"
  ARGS --cpu-flags 0 ${vorlith_clip})
# This build has no FFmpeg: any other file is refused, saying so.
vorlith_add_framehost_test(reads_only_y4m EXIT 1
  ERROR "^framehost: [^\n]*CMakeLists.txt: not a YUV4MPEG2 stream [^\n]*, and this build of framehost reads YUV4MPEG2 only \\(it was built without FFmpeg's libraries\\)\n$"
  ARGS ${CMAKE_CURRENT_SOURCE_DIR}/CMakeLists.txt)
vorlith_add_framehost_test(names_a_missing_plugin EXIT 1
  ERROR "^framehost: cannot load plugin no_such_plugin.dll: [^\n]+\n$"
  ARGS --plugin no_such_plugin.dll ${vorlith_clip})
vorlith_add_framehost_test(refuses_to_write_over_its_input EXIT 1
  ERROR "^framehost: [^\n]*/tests/../tests/small_clip.y4m: is the input; refusing to write over it\n$"
  ARGS -o ${CMAKE_CURRENT_BINARY_DIR}/../tests/small_clip.y4m ${vorlith_small_clip})
# Its reader gone, the output pipe fails the first write that does not fit
# into it, the header's or frame 0's (518400 bytes), before any report
# line: one line of error in words a user knows, and status 1. The C
# runtime's errno alone would read "Invalid argument". (Standard error is
# still in text mode then, which ends the line with "\r\n".)
vorlith_add_program_test(NAME framehost_names_a_closed_output_pipe
  COMMAND sh -c "{ \"$@\" 2>\"$0.err\"
echo $? >\"$0.status\"
} | true
status=$(cat \"$0.status\")
error=$(tr -d '\\r' <\"$0.err\")
echo \"exit $status: $error\"
[ \"$status\" = 1 ] && [ \"$error\" = 'framehost: stdout: write failed: Broken pipe' ]"
          ${CMAKE_CURRENT_BINARY_DIR}/closed_output_pipe
          ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:framehost> -o - ${vorlith_clip})
set_tests_properties(framehost_names_a_closed_output_pipe PROPERTIES
  FIXTURES_REQUIRED "wine_session;example_clips")

# framehost hears its own report lines in its own process: two runs at
# once each pass on and count every line of theirs, and a standard error
# that nobody reads for a while holds the run back without losing a line
# (OutputDebugStringA's session-wide channel gave up on a line after 10 s).
vorlith_add_program_test(NAME framehost_two_runs_at_once
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/scripts/two_framehosts_at_once.sh
          ${CMAKE_CURRENT_BINARY_DIR} ${vorlith_clip} 150 60
          ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:framehost>)
vorlith_add_program_test(NAME framehost_loses_no_line_while_stderr_stalls
  COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/scripts/framehost_stalled_stderr.sh
          ${CMAKE_CURRENT_BINARY_DIR} 2 10000 4000
          ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:framehost> ${vorlith_long_clip} th=0)
set_tests_properties(framehost_two_runs_at_once framehost_loses_no_line_while_stderr_stalls
  PROPERTIES FIXTURES_REQUIRED "wine_session;example_clips")

# A debugger takes the strings from OutputDebugStringA, exactly as sent.
vorlith_add_framehost_test(report_lines_reach_a_debugger UNDER_DEBUGGER EXIT 0
  OUTPUT "\\r2 frame=2 --- Blocks=22\\n\\r3 frame=3 --- Blocks=22\\n"
  ERROR "a debugger is attached and takes the report lines; they are not counted\n.* 0 reported"
  ARGS ${vorlith_small_clip} th=0)

# Without show the frames come back unchanged: the output is the input,
# byte for byte.
set(vorlith_copy ${CMAKE_CURRENT_BINARY_DIR}/pulldown_clip_copy.y4m)
vorlith_add_framehost_test(writes_frames EXIT 0 ARGS --quiet -o ${vorlith_copy} ${vorlith_clip})
set_tests_properties(framehost_writes_frames PROPERTIES FIXTURES_SETUP framehost_copy)
add_test(NAME framehost_output_is_the_input
  COMMAND ${CMAKE_COMMAND} -E compare_files ${vorlith_clip} ${vorlith_copy})
set_tests_properties(framehost_output_is_the_input PROPERTIES
  FIXTURES_REQUIRED "example_clips;framehost_copy")
