# FARLOUS installs as a portable folder: the program reads its jokes from its own folder, so the
# sample jokes, the icon, the licence and the desktop entry sit beside it, wherever the folder is
# put. The archive is the folder alone. The Debian package puts the folder under /opt/farlous and
# adds the menu launcher, the themed icons and its documentation, which holds the licence; there
# the jokes file is the user's data, made from a sample by the package's scripts (packaging/deb),
# not a packaged file.

set(FARLOUS_DESKTOP_TEMPLATE ${PROJECT_SOURCE_DIR}/packaging/farlous.desktop.in)
set(FARLOUS_DESKTOP_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/FarlousDesktopEntry.cmake)
set(FARLOUS_DEB_SOURCES ${PROJECT_SOURCE_DIR}/packaging/deb)
set(FARLOUS_ICONS ${PROJECT_SOURCE_DIR}/resources/icon)
# The sizes scripts/make-icon renders farlous.svg at, one per desktop-theme folder.
set(FARLOUS_ICON_SIZES 16 22 24 32 48 64 128 256)
set(FARLOUS_SAMPLE ${PROJECT_SOURCE_DIR}/resources/FARLOUS.TXT)

# A Release program is installed stripped, as the packages have it, even without
# `cmake --install --strip`.
install(CODE [[
    if(CMAKE_INSTALL_CONFIG_NAME STREQUAL "Release")
        set(CMAKE_INSTALL_DO_STRIP ON)
    endif()
    ]] COMPONENT portable)
install(TARGETS FARLOUS RUNTIME DESTINATION . COMPONENT portable)
# The folder's entry names this icon by its path, so nothing picks a size for the menu: a large
# one, scaled down, stays sharp.
install(FILES ${FARLOUS_ICONS}/farlous-128.png DESTINATION . RENAME farlous.png COMPONENT portable)
# Whoever gets a copy of the folder gets its licence with it. The Debian package has neither
# file: its documentation holds the licence, and its scripts make the jokes file.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${FARLOUS_SAMPLE} DESTINATION . COMPONENT standalone)

# Writes an entry made for the install prefix into `destination`, through file(INSTALL) so that
# DESTDIR and the install manifest apply to it like to any installed file.
function(farlous_install_desktop_entry destination icon component)
    set(staged ${PROJECT_BINARY_DIR}/packaging/${component}/farlous.desktop)
    install(CODE "
        include(\"${FARLOUS_DESKTOP_SCRIPT}\")
        set(FARLOUS_DESCRIPTION \"${PROJECT_DESCRIPTION}\")
        get_filename_component(folder \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
        farlous_write_desktop_entry(\"${FARLOUS_DESKTOP_TEMPLATE}\" \"${staged}\"
                                    \"\${folder}\" \"${icon}\")
        file(INSTALL DESTINATION \"${destination}\" TYPE FILE FILES \"${staged}\")
        " COMPONENT ${component} ${ARGN})
endfunction()

if(UNIX AND NOT APPLE)
    farlous_install_desktop_entry("\${folder}" "\${folder}/farlous.png" portable)
    # Debian's packaging tools also drop the compiler's name that strip leaves in .comment.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:FARLOUS>\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()
        " COMPONENT portable)

    # The Debian package's own files; `cmake --install` leaves them out unless asked for with
    # --component debian. The sample goes under a name the program does not read, which lintian
    # takes for no document; the package's scripts copy it to FARLOUS.TXT.
    set(FARLOUS_DEB_ONLY COMPONENT debian EXCLUDE_FROM_ALL)
    set(FARLOUS_DEB_DOC /usr/share/doc/farlous)
    farlous_install_desktop_entry(/usr/share/applications farlous debian EXCLUDE_FROM_ALL)
    foreach(size ${FARLOUS_ICON_SIZES})
        install(FILES ${FARLOUS_ICONS}/farlous-${size}.png RENAME farlous.png
                DESTINATION /usr/share/icons/hicolor/${size}x${size}/apps ${FARLOUS_DEB_ONLY})
    endforeach()
    install(FILES ${FARLOUS_ICONS}/farlous.svg DESTINATION /usr/share/icons/hicolor/scalable/apps
            ${FARLOUS_DEB_ONLY})
    install(FILES ${FARLOUS_SAMPLE} DESTINATION . RENAME FARLOUS.TXT.sample ${FARLOUS_DEB_ONLY})
    install(FILES ${FARLOUS_DEB_SOURCES}/copyright DESTINATION ${FARLOUS_DEB_DOC}
            ${FARLOUS_DEB_ONLY})
    # Where software centres look for the program's description.
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/example.glimbo.farlous.metainfo.xml
            DESTINATION /usr/share/metainfo ${FARLOUS_DEB_ONLY})
    install(FILES ${FARLOUS_DEB_SOURCES}/lintian-overrides DESTINATION /usr/share/lintian/overrides
            RENAME farlous ${FARLOUS_DEB_ONLY})
    # Compressed as Debian wants it: at most, without name or date, so that builds are identical.
    # The package's own changelog, as its version has a Debian revision.
    find_program(FARLOUS_GZIP gzip REQUIRED)
    set(FARLOUS_DEB_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz)
    install(CODE "
        execute_process(COMMAND \"${FARLOUS_GZIP}\" -9n
                        INPUT_FILE \"${FARLOUS_DEB_SOURCES}/changelog\"
                        OUTPUT_FILE \"${FARLOUS_DEB_CHANGELOG}\"
                        COMMAND_ERROR_IS_FATAL ANY)
        file(INSTALL DESTINATION ${FARLOUS_DEB_DOC} TYPE FILE FILES \"${FARLOUS_DEB_CHANGELOG}\")
        " ${FARLOUS_DEB_ONLY})
endif()

set(CPACK_PACKAGE_NAME farlous)
set(CPACK_PACKAGE_VERSION ${FARLOUS_VERSION_TEXT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "FARLOUS montre une blague du jour, tirée au hasard dans le fichier
FARLOUS.TXT posé à côté du programme. Des blagues d'exemple sont fournies.")
set(CPACK_PACKAGE_CONTACT "L'équipe FARLOUS <farlous@glimbo.example>")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR TGZ)
if(UNIX AND NOT APPLE)
    list(APPEND CPACK_GENERATOR DEB)
endif()
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" FARLOUS_SYSTEM)
set(CPACK_PACKAGE_FILE_NAME farlous-${FARLOUS_VERSION_TEXT}-${FARLOUS_SYSTEM})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackGeneratorOptions.cmake)
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackArchiveEntry.cmake)
# Read by those two scripts.
set(CPACK_FARLOUS_DEB_FOLDER /opt/farlous)
set(CPACK_FARLOUS_DESKTOP_TEMPLATE ${FARLOUS_DESKTOP_TEMPLATE})
set(CPACK_FARLOUS_DESKTOP_SCRIPT ${FARLOUS_DESKTOP_SCRIPT})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The package's revision is its changelog's latest entry: every package change gets one.
file(STRINGS ${FARLOUS_DEB_SOURCES}/changelog FARLOUS_DEB_LATEST LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${FARLOUS_DEB_SOURCES}/changelog)
if(NOT FARLOUS_DEB_LATEST MATCHES "^farlous \\(${FARLOUS_VERSION_TEXT}-([0-9]+)\\) ")
    message(FATAL_ERROR "packaging/deb/changelog must open with farlous (${FARLOUS_VERSION_TEXT}-N)")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_1})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The scripts that manage the jokes file as the user's data.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${FARLOUS_DEB_SOURCES}/preinst
    ${FARLOUS_DEB_SOURCES}/postinst ${FARLOUS_DEB_SOURCES}/prerm ${FARLOUS_DEB_SOURCES}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Depends comes from the libraries the program links: libqt6core6, libqt6gui6 (which also
# carries the X11 platform and JPEG plugins the window loads) and libqt6widgets6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A Wayland session without XWayland shows the window only through Qt's Wayland plugin.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEB_COMPONENT_INSTALL ON)

include(CPack)
