# 64-bit Windows build; its programs and tests run here under wine64.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Tests run in a Wine prefix owned by the build tree, never the user's own.
# Mono and Gecko are switched off so a new prefix never asks to install them.
set(WINE_LOADER /usr/lib/wine/wine64 CACHE FILEPATH "Wine loader for 64-bit programs")
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= ${WINE_LOADER})
