# 32-bit Windows build, the one that ships. Built and linked here, not run:
# this machine's kernel starts no 32-bit programs.
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
