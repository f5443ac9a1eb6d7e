# Shared part of the mingw-w64 cross toolchains. The including file sets
# MINGW_TRIPLE before including this one.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)

# Libraries come from the mingw sysroot (zlib) and from .deps (bzip2, minizip,
# GoogleTest), never from the host.
get_filename_component(_tooling_root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${_tooling_root}/.deps/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Boost headers reach the cross compiler through a "boost" link in
# .deps/<triple>/include; the host's Boost CMake files are not used.
set(Boost_NO_BOOST_CMAKE ON CACHE BOOL "")

# Every program runs alone on a clean Windows: no runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)
