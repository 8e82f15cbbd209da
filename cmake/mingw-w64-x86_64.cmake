# Cross-builds the Windows program on Debian with MinGW-w64 (package g++-mingw-w64-x86-64-posix).
# Usage: cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FARLOUS_MINGW_TRIPLET x86_64-w64-mingw32)
# The POSIX threading variant: the win32 one lacks std::thread and std::mutex.
set(CMAKE_C_COMPILER ${FARLOUS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FARLOUS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FARLOUS_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FARLOUS_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
