# Cross build for Windows with Debian's MinGW-w64 (posix thread model, which
# provides std::mutex and std::thread). The toolchain file of each bitness
# sets CMAKE_SYSTEM_PROCESSOR and MINGW_TRIPLE, then includes this.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The emulator itself is a script generated into the build tree (it knows the
# build tree's own Wine prefix), so it is set in the top-level CMakeLists.
