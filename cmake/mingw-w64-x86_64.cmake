# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (posix threads, so that
# std::thread and std::mutex work). Used by scripts/windows-deps for the libraries and by
# scripts/windows for Quillmere itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLMERE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLMERE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLMERE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLMERE_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come from the MinGW sysroot and the prefixes named in
# CMAKE_PREFIX_PATH / CMAKE_FIND_ROOT_PATH, never from the Linux host; programs (moc, rcc, uic,
# cmark) come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QUILLMERE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The prefix holding the libraries built for Windows (scripts/windows-deps) is searched as a root
# too; try_compile projects see it through the environment.
if(QUILLMERE_WINDOWS_PREFIX)
  set(ENV{QUILLMERE_WINDOWS_PREFIX} "${QUILLMERE_WINDOWS_PREFIX}")
endif()
if(DEFINED ENV{QUILLMERE_WINDOWS_PREFIX})
  list(APPEND CMAKE_FIND_ROOT_PATH "$ENV{QUILLMERE_WINDOWS_PREFIX}")
endif()
