# The installer installed, run and uninstalled under the tests' Wine. It runs alone: it installs
# into the prefix the other tests share, and the program it runs reads the setting their runs of
# FARLOUS.EXE read.
if(FARLOUS_MAKENSIS)
    add_test(NAME farlous_windows_installer
        COMMAND bash ${PROJECT_SOURCE_DIR}/tests/windows/check_installer.sh ${PROJECT_BINARY_DIR}
                ${PROJECT_SOURCE_DIR})
    set_tests_properties(farlous_windows_installer PROPERTIES RUN_SERIAL ON TIMEOUT 300
        ENVIRONMENT "CPACK=${CMAKE_CPACK_COMMAND}")
endif()
