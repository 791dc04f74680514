# Settings shared by every target of ours (not by GoogleTest).
add_library(denoptix_build_options INTERFACE)
target_compile_definitions(denoptix_build_options INTERFACE
  _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX STRICT)

if(MSVC)
  target_compile_options(denoptix_build_options INTERFACE /W4 /permissive- /utf-8
    $<$<BOOL:${DENOPTIX_WARNINGS_AS_ERRORS}>:/WX>)
else()
  # Each function and datum in a section of its own, so that the link keeps
  # only what the program reaches: the bridge and the check link the same
  # library, and neither carries the other's code. Optimised for size: the
  # bridge spends its time waiting for the operator, the control and
  # Windows, and must stay a small program of its own.
  target_compile_options(denoptix_build_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
    -ffunction-sections -fdata-sections -Os
    $<$<BOOL:${DENOPTIX_WARNINGS_AS_ERRORS}>:-Werror>)
  # Each .exe and .dll must run alone: no libgcc, libstdc++ or winpthread
  # DLLs. Page-sized file alignment lets Wine map an image's sections
  # straight from the file instead of copying them into private memory;
  # Windows maps images either way.
  target_link_options(denoptix_build_options INTERFACE -static -static-libgcc -static-libstdc++
    -Wl,--file-alignment=4096 -Wl,--gc-sections)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # A .def file names exports undecorated (as MSVC takes them); on 32-bit
    # the compiler decorates WINAPI functions (_DllGetClassObject@12), and
    # asking for the fix-up says we mean it instead of warning about it.
    target_link_options(denoptix_build_options INTERFACE -Wl,--enable-stdcall-fixup)
  endif()
endif()

# Moves a program's debug information and symbols into "<file>.debug" beside
# it, linked by name so gdb and winedbg still find them. MinGW otherwise
# keeps the DWARF sections inside the image: a shipped program five times
# its size, and under Wine, whenever an image cannot be mapped from its
# file, megabytes of private memory per process that nothing reads.
function(denoptix_separate_debug_info target)
  if(MSVC OR NOT CMAKE_OBJCOPY)
    return()  # MSVC keeps debug information in a .pdb already
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-unneeded --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# The 32-bit programs that host the scanner's control go without the
# NX-compatible mark, which GNU ld sets by default (since binutils 2.36) and
# which on a 32-bit program also turns off Windows' emulation of the code
# thunks that controls of the late 1990s run from data memory. They turn DEP
# on themselves at start (win/ProcessDep.h). 64-bit programs keep the mark:
# Windows runs them with DEP whatever it says.
function(denoptix_keep_thunk_emulation target)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  if(MSVC)
    target_link_options(${target} PRIVATE /NXCOMPAT:NO)
  else()
    target_link_options(${target} PRIVATE -Wl,--disable-nxcompat)
  endif()
endfunction()
