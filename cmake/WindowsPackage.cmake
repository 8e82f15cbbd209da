# The Windows program as a ZIP archive: a folder FARLOUS holding the program, its sample jokes
# beside it, where it looks for them, and the licence. Unpacked in C:\, it makes C:\FARLOUS. A
# Release build is stripped already (see the top CMakeLists.txt).
install(TARGETS FARLOUS RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/FARLOUS.TXT ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(FARLOUS_WINDOWS_ARCHITECTURE x64)
else()
    set(FARLOUS_WINDOWS_ARCHITECTURE x86)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME FARLOUS)
set(CPACK_PACKAGE_VERSION ${FARLOUS_VERSION_TEXT})
set(CPACK_PACKAGE_FILE_NAME FARLOUS-${FARLOUS_VERSION_TEXT}-windows-${FARLOUS_WINDOWS_ARCHITECTURE})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /FARLOUS)
include(CPack)
