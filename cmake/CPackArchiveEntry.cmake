# An archive is staged in a scratch folder that means nothing once it is unpacked: its desktop
# entry is made again for the folder the Debian package uses, where the README suggests unpacking.
# Each component is staged in a folder of its own.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    include(${CPACK_FARLOUS_DESKTOP_SCRIPT})
    set(FARLOUS_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}")
    farlous_write_desktop_entry(
        ${CPACK_FARLOUS_DESKTOP_TEMPLATE}
        ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/portable${CPACK_PACKAGING_INSTALL_PREFIX}/farlous.desktop
        ${CPACK_FARLOUS_DEB_FOLDER} ${CPACK_FARLOUS_DEB_FOLDER}/farlous.png)
endif()
