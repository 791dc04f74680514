# Clang for 32-bit Windows: the product, where LONG, size_t and pointers are
# all 32 bits and WINAPI means __stdcall.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw-common.cmake)
