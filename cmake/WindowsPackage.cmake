# The Windows program, packed by one `cpack` run twice over. The ZIP archive is a folder FARLOUS
# holding the program, its sample jokes beside it, where it looks for them, a read-me in French
# and the licences: unpacked in C:\, it makes C:\FARLOUS. The installer puts the same files in
# Program Files\FARLOUS (packaging/windows/NSIS.template.in). A Release build is stripped already
# (see the top CMakeLists.txt).
set(FARLOUS_WINDOWS_SOURCES ${PROJECT_SOURCE_DIR}/packaging/windows)
set(FARLOUS_WINDOWS_TEXTS ${PROJECT_BINARY_DIR}/packaging/windows)
# Read in Notepad, which wants Windows line ends; the read-me keeps its byte order mark, which
# tells Notepad it is UTF-8. configure_file only changes the line ends: no text names a @VARIABLE@.
foreach(text ${PROJECT_SOURCE_DIR}/LICENSE ${FARLOUS_WINDOWS_SOURCES}/LISEZMOI.txt
        ${FARLOUS_WINDOWS_SOURCES}/THIRD-PARTY-NOTICES.txt)
    get_filename_component(name ${text} NAME_WE)
    configure_file(${text} ${FARLOUS_WINDOWS_TEXTS}/${name}.txt @ONLY NEWLINE_STYLE CRLF)
    list(APPEND FARLOUS_WINDOWS_TEXT_FILES ${FARLOUS_WINDOWS_TEXTS}/${name}.txt)
endforeach()
install(TARGETS FARLOUS RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/FARLOUS.TXT ${FARLOUS_WINDOWS_TEXT_FILES} DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(FARLOUS_WINDOWS_ARCHITECTURE x64)
else()
    set(FARLOUS_WINDOWS_ARCHITECTURE x86)
endif()
set(CPACK_GENERATOR ZIP)
find_program(FARLOUS_MAKENSIS makensis)
if(FARLOUS_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
else()
    message(STATUS "makensis missing (nsis): no installer, nor its test")
endif()
set(CPACK_PACKAGE_NAME FARLOUS)
set(CPACK_PACKAGE_VENDOR Glimbo)
set(CPACK_PACKAGE_VERSION ${FARLOUS_VERSION_TEXT})
set(CPACK_ARCHIVE_FILE_NAME
    FARLOUS-${FARLOUS_VERSION_TEXT}-windows-${FARLOUS_WINDOWS_ARCHITECTURE})
set(CPACK_PACKAGE_FILE_NAME FARLOUS-${FARLOUS_VERSION_TEXT}-setup)
set(CPACK_PACKAGING_INSTALL_PREFIX /FARLOUS)
# CPack's NSIS generator takes our installer script in place of its own.
set(CPACK_MODULE_PATH ${FARLOUS_WINDOWS_SOURCES})
include(CPack)
