# Clang aimed at Windows with Debian's MinGW-w64 headers and its libstdc++.
# Used to compile (never link) the Windows code with a second compiler, and
# to give clang-tidy a compile database it understands. The file of each
# bitness sets CMAKE_SYSTEM_PROCESSOR and MINGW_TRIPLE, then includes this.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${MINGW_TRIPLE})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Clang looks for libstdc++ under the sysroot, where Debian does not put it:
# name the posix GCC's own copy, the one the real build uses.
set(MINGW_GCC_DIR /usr/lib/gcc/${MINGW_TRIPLE}/12-posix CACHE PATH "MinGW-w64 GCC whose libstdc++ clang uses")
set(CMAKE_CXX_FLAGS_INIT
  "-nostdinc++ -isystem ${MINGW_GCC_DIR}/include/c++ -isystem ${MINGW_GCC_DIR}/include/c++/${MINGW_TRIPLE} -isystem ${MINGW_GCC_DIR}/include/c++/backward")

# Nothing is linked, so CMake's compiler checks must not try to.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
