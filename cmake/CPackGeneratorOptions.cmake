# Per generator: the archive holds the folder alone, as farlous/; the Debian package installs it
# under /opt/farlous, with its own files in place of the standalone folder's jokes and licence.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_PACKAGING_INSTALL_PREFIX ${CPACK_FARLOUS_DEB_FOLDER})
    set(CPACK_COMPONENTS_ALL portable debian)
else()
    set(CPACK_COMPONENTS_ALL portable standalone)
    set(CPACK_PACKAGING_INSTALL_PREFIX /farlous)
endif()
