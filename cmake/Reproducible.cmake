# Two builds of one commit give byte-identical packages, whatever folder and time they are made
# in. Every time the tools would stamp is the commit's date, as SOURCE_DATE_EPOCH (or the
# builder's own SOURCE_DATE_EPOCH): rcc's file times in the program's resources, the Windows
# linker's header stamp, and the packages' file times (cmake/CPackSourceDate.cmake).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(FARLOUS_SOURCE_DATE $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE FARLOUS_SOURCE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
endif()
if(FARLOUS_SOURCE_DATE)
    set(FARLOUS_SOURCE_DATE_ENV "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${FARLOUS_SOURCE_DATE}")
    set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "${FARLOUS_SOURCE_DATE_ENV}")
    set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK "${FARLOUS_SOURCE_DATE_ENV}")
endif()
set(CPACK_FARLOUS_SOURCE_DATE ${FARLOUS_SOURCE_DATE})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackSourceDate.cmake)

# An archive lists a folder's files in the order the file system gives them, unless they are
# installed component by component: CPack then sorts each component's files. Files installed with
# no component named are in "Unspecified"; Packaging.cmake picks its own components.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified)
