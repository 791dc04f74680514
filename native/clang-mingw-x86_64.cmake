# Clang for 64-bit Windows: the 64-bit bridge, where pointers and size_t
# outgrow LONG and DWORD.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw-common.cmake)
