# SPDX-License-Identifier: MIT
# Scintilla, the editor the file viewer shows a file in, built for Win32 as
# a static library. It is the same component as the Qt viewer's editor; Debian
# packages its Win32 half only as source, in SciTE's source package, so the
# build takes that package's upstream tarball from Debian's archive, checked
# against the hash Debian signed. QUARVO_SCITE_ARCHIVE names a copy of it for
# a build without the network.
include(FetchContent)
set(QUARVO_SCITE_ARCHIVE "" CACHE FILEPATH "A copy of Debian's scite_5.3.3.orig.tar.gz")
if(QUARVO_SCITE_ARCHIVE)
  set(scite_url ${QUARVO_SCITE_ARCHIVE})
else()
  set(scite_url http://deb.debian.org/debian/pool/main/s/scite/scite_5.3.3.orig.tar.gz)
endif()
FetchContent_Declare(scite
  URL ${scite_url}
  URL_HASH SHA256=79275a4a7e01bf429ff05e0fd699b79dc016d705335b393905b4f2cc43799a64
  DOWNLOAD_EXTRACT_TIMESTAMP TRUE)
FetchContent_MakeAvailable(scite)

set(scintilla_dir ${scite_SOURCE_DIR}/scintilla)
# Its notice travels with the program.
set(QUARVO_SCINTILLA_LICENSE ${scintilla_dir}/License.txt)
# The files of Scintilla's own MinGW makefile: the portable core and the
# Win32 platform, without lexers, which the viewer does not use.
file(GLOB scintilla_core ${scintilla_dir}/src/*.cxx)
add_library(scintilla STATIC ${scintilla_core} ${scintilla_dir}/win32/HanjaDic.cxx
  ${scintilla_dir}/win32/PlatWin.cxx ${scintilla_dir}/win32/ScintillaWin.cxx)
set_target_properties(scintilla PROPERTIES CXX_STANDARD 17)
target_include_directories(scintilla SYSTEM PUBLIC ${scintilla_dir}/include)
target_include_directories(scintilla PRIVATE ${scintilla_dir}/src)
# Its warnings are for its makers to read.
target_compile_options(scintilla PRIVATE -w)
target_compile_definitions(scintilla PRIVATE NDEBUG)
target_link_libraries(scintilla PUBLIC imm32 ole32 uuid oleaut32 msimg32 gdi32 user32)
