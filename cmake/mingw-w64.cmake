# SPDX-License-Identifier: MIT
# What the cross builds for Windows share; mingw-w64-x86_64.cmake and
# mingw-w64-i686.cmake set the processor and the compilers' triple first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QUARVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARVO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUARVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs must run on a bare Windows (or a fresh Wine prefix) without the
# compiler's runtime DLLs beside them, so the C++ runtime and winpthread are
# linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs cannot run on the build machine; ctest lists their cases when
# it runs them (under Wine, through the emulator below when it is found).
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
find_program(QUARVO_WINE NAMES ${QUARVO_WINE_LOADER} PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QUARVO_WINE)
  find_program(QUARVO_WINE NAMES ${QUARVO_WINE_LOADER} wine)
endif()
if(QUARVO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARVO_WINE})
endif()
