# Run by CPack before it packs: CMake's archive writer stamps every file with SOURCE_DATE_EPOCH
# and leaves the gzip header's time out. A ZIP keeps local times: they are read in UTC.
if(CPACK_FARLOUS_SOURCE_DATE)
    set(ENV{SOURCE_DATE_EPOCH} ${CPACK_FARLOUS_SOURCE_DATE})
endif()
set(ENV{TZ} UTC)
