# Read by CPack for each kind of package: the zip unpacks into a folder of
# its own; the setup program is named apart from it.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
else()
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
