# Cross-builds the 32-bit Windows program with MinGW-w64 on Linux. The -posix
# compilers give std::thread and std::mutex; the runtime is linked in, so
# Gimbalo.exe needs no DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(GIMBALO_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${GIMBALO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GIMBALO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${GIMBALO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GIMBALO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libgcc, libstdc++ and winpthread inside the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
