# Cross-builds the Windows program with Debian's mingw-w64 (POSIX threads) and runs what it builds
# under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The mingw-w64 system, and the static OpenSSL for Windows that scripts/windows-deps.sh builds.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $ENV{TARVIK_OPENSSL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian installs the 64-bit launcher in Wine's own folder, not on PATH.
find_program(TARVIK_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TARVIK_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVIK_WINE64})
endif()
