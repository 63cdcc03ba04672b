# SPDX-License-Identifier: MIT
# Run by CPack between staging the files and making the package: a package
# without its manual pages (pandoc missing at configure time) or any other
# expected file is refused, not made.
set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(missing)
foreach(file IN LISTS CPACK_QUARVO_EXPECTED)
  if(NOT EXISTS "${root}/${file}")
    list(APPEND missing "${CPACK_PACKAGING_INSTALL_PREFIX}/${file}")
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "The package would lack:\n  ${missing}\n"
                      "Install the packages of scripts/deps/package.txt (pandoc for the "
                      "manual pages) and configure the build again.")
endif()
