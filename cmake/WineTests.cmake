# The Windows build's tests run under Wine (packages wine and wine32:i386), each program through
# wine-run in the build folder, in a Wine prefix of the build's own. Programs that open windows
# need an X display, and all of them one Wine session: scripts/test-windows runs ctest under
# xvfb-run with a wineserver kept up for the whole run.
set(FARLOUS_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine)
set(FARLOUS_WINE_RUN ${PROJECT_BINARY_DIR}/wine-run)
configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.in ${FARLOUS_WINE_RUN} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
    WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${FARLOUS_WINE_RUN})
# Made with the build, so that no test waits for it.
add_custom_command(OUTPUT ${FARLOUS_WINE_PREFIX}/.farlous-ready
    COMMAND ${FARLOUS_WINE_RUN} wineserver -w
    DEPENDS ${FARLOUS_WINE_RUN}
    COMMENT "Making the Wine prefix of the tests")
add_custom_target(farlous_wine_prefix ALL DEPENDS ${FARLOUS_WINE_PREFIX}/.farlous-ready)
# Listing a test program's cases needs Wine too: do it when the tests run, not while building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# GoogleTest built for Windows from Debian's sources (package googletest); find_package(GTest)
# then finds these targets.
set(FARLOUS_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${FARLOUS_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake "")
