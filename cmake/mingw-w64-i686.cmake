# Cross-builds the Windows program on Debian with MinGW-w64 (package g++-mingw-w64-i686-posix), for
# 32-bit Windows, on which 64-bit Windows runs it too.
# Usage: cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(FARLOUS_MINGW_TRIPLET i686-w64-mingw32)
# The POSIX threading variant: the win32 one lacks std::thread and std::mutex.
set(CMAKE_C_COMPILER ${FARLOUS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FARLOUS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FARLOUS_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FARLOUS_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
