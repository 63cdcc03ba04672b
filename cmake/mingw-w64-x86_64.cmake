# SPDX-License-Identifier: MIT
# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model,
# package g++-mingw-w64-x86-64-posix). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARVO_MINGW_TRIPLE x86_64-w64-mingw32)
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
find_program(QUARVO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT QUARVO_WINE64)
  find_program(QUARVO_WINE64 NAMES wine64 wine)
endif()
if(QUARVO_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARVO_WINE64})
endif()
