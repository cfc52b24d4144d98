# The compiler's runtime DLLs that every Windows program and library of the
# build imports (see the toolchain file): libgcc_s_dw2-1.dll, the exception
# unwinder that the host and the plugin must share, and libwinpthread-1.dll,
# which it needs. They are copied beside the programs, where Windows looks
# first, and installed with them. VORLITH_WINDOWS_RUNTIME lists them.
set(VORLITH_WINDOWS_RUNTIME)
foreach(dll IN ITEMS libgcc_s_dw2-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is "
                        "(it answered \"${path}\")")
  endif()
  file(REAL_PATH "${path}" path)
  file(COPY ${path} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  list(APPEND VORLITH_WINDOWS_RUNTIME ${path})
endforeach()
