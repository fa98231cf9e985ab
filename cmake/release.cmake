# The release: what a user unzips. Each shipped program, the DLL and the macro files are installed
# by the CMakeLists.txt of their folder (DESTINATION .); the samples and the guide are installed
# here. "cmake --build --preset win32 --target package" writes gorvane-VERSION-win32.zip into the
# build folder, with everything in one folder of that name (the win64 preset: gorvane-VERSION-win64.zip).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/ DESTINATION samples)
install(FILES ${CMAKE_SOURCE_DIR}/docs/guide.txt DESTINATION . RENAME README.txt)

set(CPACK_GENERATOR ZIP)
# The programs ship without their debugging symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME gorvane)
set(CPACK_PACKAGE_VENDOR "Gorvane")
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  # The 64-bit twin of the zip, for running the release test where 32-bit programs cannot start.
  set(CPACK_PACKAGE_FILE_NAME gorvane-${PROJECT_VERSION}-win64)
elseif(WIN32)
  set(CPACK_PACKAGE_FILE_NAME gorvane-${PROJECT_VERSION}-win32)
else()
  set(CPACK_PACKAGE_FILE_NAME gorvane-${PROJECT_VERSION}-linux)
endif()
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
