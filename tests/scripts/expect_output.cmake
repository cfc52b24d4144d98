# cmake -DEXPECTED_EXIT=N -DEXPECTED_OUTPUT=TEXT [-DEXPECTED_ERROR=REGEX]
#       -P expect_output.cmake COMMAND [ARGS...]
#
# Runs COMMAND and fails unless it exits with N and its standard output is
# TEXT byte for byte, where TEXT writes a carriage return as \r, a line feed
# as \n, a backslash as \\ and any other control byte as \xNN; with
# EXPECTED_ERROR, its standard error must also match REGEX.
include(${CMAKE_CURRENT_LIST_DIR}/script_arguments.cmake)
vorlith_script_arguments(command)
if(NOT command OR NOT DEFINED EXPECTED_EXIT)
  message(FATAL_ERROR "usage: cmake -DEXPECTED_EXIT=N -DEXPECTED_OUTPUT=TEXT "
                      "[-DEXPECTED_ERROR=REGEX] -P expect_output.cmake COMMAND [ARGS...]")
endif()

# The output is read back in hexadecimal: both an output variable and a
# plain file(READ) turn "\r\n" into "\n".
string(RANDOM LENGTH 12 run)
set(output_file ${CMAKE_CURRENT_BINARY_DIR}/expect_output_${run}.out)
execute_process(COMMAND ${command}
  RESULT_VARIABLE exit_code OUTPUT_FILE ${output_file} ERROR_VARIABLE error)
file(READ ${output_file} output_hex HEX)
file(REMOVE ${output_file})

set(shown "")
string(LENGTH "${output_hex}" hex_length)
set(i 0)
while(i LESS hex_length)
  string(SUBSTRING "${output_hex}" ${i} 2 byte)
  math(EXPR code "0x${byte}")
  if(byte STREQUAL "0d")
    string(APPEND shown "\\r")
  elseif(byte STREQUAL "0a")
    string(APPEND shown "\\n")
  elseif(byte STREQUAL "5c")
    string(APPEND shown "\\\\")
  elseif(code LESS 32 OR code GREATER 126)
    string(APPEND shown "\\x${byte}")
  else()
    string(ASCII ${code} character)
    string(APPEND shown "${character}")
  endif()
  math(EXPR i "${i} + 2")
endwhile()

set(failures)
if(NOT exit_code STREQUAL EXPECTED_EXIT)
  list(APPEND failures "exit code ${exit_code}, expected ${EXPECTED_EXIT}")
endif()
if(NOT shown STREQUAL EXPECTED_OUTPUT)
  list(APPEND failures "output \"${shown}\", expected \"${EXPECTED_OUTPUT}\"")
endif()
if(EXPECTED_ERROR AND NOT error MATCHES "${EXPECTED_ERROR}")
  list(APPEND failures "standard error does not match \"${EXPECTED_ERROR}\"")
endif()
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "${command}:\n  ${text}\nstandard error:\n${error}")
endif()
