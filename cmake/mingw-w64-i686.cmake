# SPDX-License-Identifier: MIT
# Cross build for 32-bit Windows with Debian's MinGW-w64 (posix thread model,
# package g++-mingw-w64-i686-posix). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake ...
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QUARVO_MINGW_TRIPLE i686-w64-mingw32)
set(QUARVO_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
