# cmake -DOBJDUMP=PATH -DFORBIDDEN=REGEX -P check_registers.cmake OBJECT...
#
# Fails, naming the object and the instruction, when the disassembly of any
# OBJECT uses a register that matches REGEX (AT&T syntax, e.g. "%ymm[0-9]").
include(${CMAKE_CURRENT_LIST_DIR}/script_arguments.cmake)
vorlith_script_arguments(objects)
if(NOT objects OR NOT OBJDUMP OR NOT FORBIDDEN)
  message(FATAL_ERROR "usage: cmake -DOBJDUMP=PATH -DFORBIDDEN=REGEX -P check_registers.cmake "
                      "OBJECT...")
endif()

set(failures)
foreach(object IN LISTS objects)
  execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${object}
    RESULT_VARIABLE result OUTPUT_VARIABLE disassembly ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${object}: ${error}")
  endif()
  string(REGEX MATCH "[^\n]*${FORBIDDEN}[^\n]*" instruction "${disassembly}")
  if(instruction)
    list(APPEND failures "${object}: ${instruction}")
  endif()
endforeach()
if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "registers matching ${FORBIDDEN} in code built for the baseline:\n  ${text}")
endif()
list(LENGTH objects count)
message(STATUS "${count} objects free of registers matching ${FORBIDDEN}")
