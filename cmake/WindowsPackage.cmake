# The Windows program as a ZIP archive: a folder FARLOUS holding the program, its sample jokes
# beside it, where it looks for them, a read-me in French and the licences. Unpacked in C:\, it
# makes C:\FARLOUS. A Release build is stripped already (see the top CMakeLists.txt).
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
set(CPACK_PACKAGE_NAME FARLOUS)
set(CPACK_PACKAGE_VERSION ${FARLOUS_VERSION_TEXT})
set(CPACK_PACKAGE_FILE_NAME FARLOUS-${FARLOUS_VERSION_TEXT}-windows-${FARLOUS_WINDOWS_ARCHITECTURE})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /FARLOUS)
include(CPack)
