# 32-bit Windows with the MinGW-w64 cross compiler; the programs run under
# wine, so CTest can run the tests on the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The compiler of the POSIX threads model: only its C++ library has
# std::mutex, which GoogleTest needs on Windows.
set(vorlith_triple i686-w64-mingw32)
set(CMAKE_C_COMPILER ${vorlith_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${vorlith_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${vorlith_triple}-windres)
set(CMAKE_OBJDUMP ${vorlith_triple}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${vorlith_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ and threads runtimes go into every program and library: the
# linker takes a static archive wherever one exists. The exception unwinder
# in libgcc is the one part that stays shared (g++ links libgcc_s_dw2-1.dll
# unless told -static): each module with a static copy keeps its own
# registry of unwind tables, and an exception thrown in the host could not
# unwind through the plugin's frames. WindowsRuntime.cmake puts the DLL, and
# the threads DLL it needs, beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT -Wl,-Bstatic)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -Wl,-Bstatic)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -Wl,-Bstatic)

# File sizes and offsets of 64 bits, as clips grow past 2 GiB.
set(CMAKE_C_FLAGS_INIT -D_FILE_OFFSET_BITS=64)
set(CMAKE_CXX_FLAGS_INIT -D_FILE_OFFSET_BITS=64)

# Wine runs the programs, with no display so that it can never open a
# window or a dialog. Its prefix lives in the build tree, so a fresh machine
# needs no setup and no two build trees share state. The overrides turn off
# the .NET and HTML engines, whose first-run installers would otherwise ask
# for downloads; WINEDEBUG=-all keeps wine's own diagnostics out of the test
# output.
find_program(VORLITH_WINE wine)
find_program(VORLITH_WINESERVER wineserver)
if(VORLITH_WINE AND VORLITH_WINESERVER)
  set(vorlith_wine_prefix ${CMAKE_BINARY_DIR}/wine-prefix)
  set(VORLITH_WINE_ENVIRONMENT
      -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX=${vorlith_wine_prefix} WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml=)
  set(CMAKE_CROSSCOMPILING_EMULATOR env ${VORLITH_WINE_ENVIRONMENT} ${VORLITH_WINE})
  # Programs started together on a prefix that does not exist yet race to
  # create it, and some fail; so the prefix is made once, here, before any
  # build step or test runs a program. try_compile projects read this file
  # too but run nothing.
  get_property(vorlith_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
  if(NOT vorlith_in_try_compile AND NOT EXISTS ${vorlith_wine_prefix}/system.reg)
    message(STATUS "Creating the wine prefix ${vorlith_wine_prefix}")
    execute_process(
      COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
      TIMEOUT 300
      RESULT_VARIABLE vorlith_wineboot_result
      OUTPUT_VARIABLE vorlith_wineboot_output
      ERROR_VARIABLE vorlith_wineboot_output)
    if(NOT vorlith_wineboot_result EQUAL 0 OR NOT EXISTS ${vorlith_wine_prefix}/system.reg)
      message(FATAL_ERROR "wineboot could not create ${vorlith_wine_prefix} "
                          "(${vorlith_wineboot_result}):\n${vorlith_wineboot_output}")
    endif()
  endif()
endif()
