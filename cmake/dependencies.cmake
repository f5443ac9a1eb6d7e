# Finds the libraries the programs link. On Windows they come from vcpkg
# (see vcpkg.json); for the mingw builds scripts/setup.sh installs them into
# .deps/<triple>, which the toolchain files put on the search path.

find_package(ZLIB REQUIRED)
find_package(BZip2 REQUIRED)

# vcpkg ships minizip with a config package; the setup script installs the
# plain library and headers.
find_package(unofficial-minizip CONFIG QUIET)
if(TARGET unofficial::minizip::minizip)
    add_library(toolset_minizip ALIAS unofficial::minizip::minizip)
else()
    find_path(MINIZIP_INCLUDE_DIR minizip/unzip.h REQUIRED)
    find_library(MINIZIP_LIBRARY NAMES minizip REQUIRED)
    add_library(toolset_minizip_imported UNKNOWN IMPORTED)
    set_target_properties(toolset_minizip_imported PROPERTIES
        IMPORTED_LOCATION ${MINIZIP_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${MINIZIP_INCLUDE_DIR}
        INTERFACE_LINK_LIBRARIES "BZip2::BZip2;ZLIB::ZLIB")
    add_library(toolset_minizip ALIAS toolset_minizip_imported)
endif()

find_package(Boost 1.74 REQUIRED)
