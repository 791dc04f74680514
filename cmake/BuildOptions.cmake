# Settings shared by every target of ours (not by GoogleTest).
add_library(denoptix_build_options INTERFACE)
target_compile_definitions(denoptix_build_options INTERFACE
  _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX STRICT)

if(MSVC)
  target_compile_options(denoptix_build_options INTERFACE /W4 /permissive- /utf-8
    $<$<BOOL:${DENOPTIX_WARNINGS_AS_ERRORS}>:/WX>)
else()
  target_compile_options(denoptix_build_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    $<$<BOOL:${DENOPTIX_WARNINGS_AS_ERRORS}>:-Werror>)
  # Each .exe and .dll must run alone: no libgcc, libstdc++ or winpthread DLLs.
  target_link_options(denoptix_build_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
