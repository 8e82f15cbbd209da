# FARLOUS installs as a portable folder: the program reads its jokes from its own folder, so the
# sample jokes, the icon, the licence and the desktop entry sit beside it, wherever the folder is
# put. The Debian package puts that folder under /opt/farlous and adds the menu launcher and the
# themed icons; the archive is the folder alone.

set(FARLOUS_DESKTOP_TEMPLATE ${PROJECT_SOURCE_DIR}/packaging/farlous.desktop.in)
set(FARLOUS_DESKTOP_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/FarlousDesktopEntry.cmake)
set(FARLOUS_ICON_16 ${PROJECT_SOURCE_DIR}/resources/icon/farlous-16.png)
set(FARLOUS_ICON_32 ${PROJECT_SOURCE_DIR}/resources/icon/farlous-32.png)

install(TARGETS FARLOUS RUNTIME DESTINATION . COMPONENT portable)
install(FILES ${PROJECT_SOURCE_DIR}/resources/FARLOUS.TXT DESTINATION . COMPONENT portable)
install(FILES ${FARLOUS_ICON_32} DESTINATION . RENAME farlous.png COMPONENT portable)
# Whoever gets a copy of the program gets its licence with it.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT portable)

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

    # Menu launcher and themed icons, for the Debian package; `cmake --install` leaves them out
    # unless asked for with --component desktop.
    install(FILES ${FARLOUS_ICON_16} DESTINATION /usr/share/icons/hicolor/16x16/apps
            RENAME farlous.png COMPONENT desktop EXCLUDE_FROM_ALL)
    install(FILES ${FARLOUS_ICON_32} DESTINATION /usr/share/icons/hicolor/32x32/apps
            RENAME farlous.png COMPONENT desktop EXCLUDE_FROM_ALL)
    farlous_install_desktop_entry(/usr/share/applications farlous desktop EXCLUDE_FROM_ALL)
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
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackArchiveEntry.cmake)
# Read by those two scripts.
set(CPACK_FARLOUS_DEB_FOLDER /opt/farlous)
set(CPACK_FARLOUS_DESKTOP_TEMPLATE ${FARLOUS_DESKTOP_TEMPLATE})
set(CPACK_FARLOUS_DESKTOP_SCRIPT ${FARLOUS_DESKTOP_SCRIPT})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# A jokes file the user put in place of the sample survives upgrades and removal, as dpkg keeps a
# changed conffile; only a purge deletes it.
set(FARLOUS_DEB_CONFFILES ${PROJECT_BINARY_DIR}/packaging/conffiles)
file(CONFIGURE OUTPUT ${FARLOUS_DEB_CONFFILES} CONTENT "${CPACK_FARLOUS_DEB_FOLDER}/FARLOUS.TXT\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${FARLOUS_DEB_CONFFILES})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Depends comes from the libraries the program links: libqt6core6, libqt6gui6 (which also
# carries the X11 platform and JPEG plugins the window loads) and libqt6widgets6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

include(CPack)
