# SPDX-License-Identifier: MIT
# Scintilla, the editor the file viewer shows a file in, built for Win32 as
# a static library. It is the same component as the Qt viewer's editor; Debian
# packages its Win32 half only as source, in SciTE's source package, which
# apt-get brings (scripts/windows/fetch-scite-source.sh); its upstream tarball
# is checked against the hash below. QUARVO_SCITE_ARCHIVE names a copy of that
# tarball instead, for a build without the package archive.
include(FetchContent)
set(scite_tarball scite_5.3.3.orig.tar.gz)
set(QUARVO_SCITE_ARCHIVE "" CACHE FILEPATH "A copy of Debian's ${scite_tarball}")
if(QUARVO_SCITE_ARCHIVE)
  set(scite_archive ${QUARVO_SCITE_ARCHIVE})
else()
  set(scite_folder ${CMAKE_BINARY_DIR}/scite-source)
  set(scite_archive ${scite_folder}/${scite_tarball})
  if(NOT EXISTS ${scite_archive})
    message(STATUS "Getting SciTE's source package through apt-get")
    execute_process(
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows/fetch-scite-source.sh ${scite_folder}
      RESULT_VARIABLE fetched)
    if(NOT fetched EQUAL 0 OR NOT EXISTS ${scite_archive})
      message(FATAL_ERROR "apt-get source scite did not give ${scite_tarball} in ${scite_folder}; "
                          "set QUARVO_SCITE_ARCHIVE to a copy of it")
    endif()
  endif()
endif()
FetchContent_Declare(scite
  URL ${scite_archive}
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
