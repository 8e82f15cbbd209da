# Per generator: the archive holds the folder alone, as farlous/; the Debian package installs it
# under /opt/farlous and adds the desktop component.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_PACKAGING_INSTALL_PREFIX ${CPACK_FARLOUS_DEB_FOLDER})
    set(CPACK_COMPONENTS_ALL portable desktop)
else()
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGING_INSTALL_PREFIX /farlous)
endif()
