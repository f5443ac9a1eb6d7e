# The install bundle of the six programs: `cmake --install` or a CPack ZIP
# (scripts/bundle.sh makes and checks both builds' ZIPs). Layout:
#   bin/            the six programs
#   README.md
#   licenses/       zlib, bzip2, minizip (linked in) and Boost (compiled in)
#   SHA256SUMS      every other file, for `sha256sum -c SHA256SUMS`
# The license texts come from the pinned sources that scripts/setup.sh
# unpacks into .deps/src and from Debian's Boost package; nothing of them is
# committed. Elsewhere (vcpkg, another Boost) give their paths in the cache.

set(TOOLSET_VERSION 1.0.0)

get_property(toolset_programs GLOBAL PROPERTY TOOLSET_PROGRAMS)
install(TARGETS ${toolset_programs} RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(toolset_deps_src ${PROJECT_SOURCE_DIR}/.deps/src)
set(TOOLSET_ZLIB_LICENSE ${toolset_deps_src}/zlib-1.2.13.dfsg/LICENSE
    CACHE FILEPATH "zlib's license text, for the install bundle")
set(TOOLSET_BZIP2_LICENSE ${toolset_deps_src}/bzip2-1.0.8/LICENSE
    CACHE FILEPATH "bzip2's license text, for the install bundle")
set(TOOLSET_MINIZIP_LICENSE ${toolset_deps_src}/zlib-1.2.13.dfsg/contrib/minizip/MiniZip64_info.txt
    CACHE FILEPATH "minizip's notes with its license, for the install bundle")
set(TOOLSET_BOOST_COPYRIGHT
    /usr/share/doc/libboost${Boost_VERSION_MAJOR}.${Boost_VERSION_MINOR}-dev/copyright
    CACHE FILEPATH "Debian's copyright file of the Boost headers, holding the Boost Software License")

# Debian's copyright file lists every license in Boost's tree; the headers we
# use are under the Boost Software License, whose stanza is cut out and
# written as plain text (" ." lines are its blank lines).
set(toolset_boost_license ${CMAKE_BINARY_DIR}/licenses/boost.txt)
if(EXISTS ${TOOLSET_BOOST_COPYRIGHT})
    file(READ ${TOOLSET_BOOST_COPYRIGHT} copyright)
    string(REGEX MATCH "\nLicense: BSL-1.0\n( [^\n]*\n)+" stanza "${copyright}")
    string(REGEX REPLACE "^\nLicense: BSL-1.0\n" "" stanza "${stanza}")
    string(REGEX REPLACE "(^|\n) \\.\n" "\\1\n" stanza "${stanza}")
    string(REGEX REPLACE "(^|\n) " "\\1" stanza "${stanza}")
    if(stanza STREQUAL "")
        message(WARNING "No Boost Software License found in ${TOOLSET_BOOST_COPYRIGHT}")
    else()
        file(WRITE ${toolset_boost_license} "${stanza}")
    endif()
endif()

foreach(license zlib:TOOLSET_ZLIB_LICENSE bzip2:TOOLSET_BZIP2_LICENSE minizip:TOOLSET_MINIZIP_LICENSE
                boost:toolset_boost_license)
    string(REPLACE ":" ";" license "${license}")
    list(GET license 0 name)
    list(GET license 1 variable)
    if(EXISTS ${${variable}})
        install(FILES ${${variable}} DESTINATION licenses RENAME ${name}.txt)
    else()
        # A bundle without a license text must not pass as complete.
        install(CODE "message(FATAL_ERROR \"The ${name} license text is missing: ${${variable}}\")")
    endif()
endforeach()

# Last: the checksums of everything this install wrote, relative to the
# bundle's root, in the format of sha256sum.
install(CODE [[
    set(bundle_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    set(sums "")
    set(files ${CMAKE_INSTALL_MANIFEST_FILES})
    list(SORT files)
    foreach(file IN LISTS files)
        file(RELATIVE_PATH name "${bundle_root}" "${file}")
        file(SHA256 "${file}" hash)
        string(APPEND sums "${hash}  ${name}\n")
    endforeach()
    file(WRITE "${bundle_root}/SHA256SUMS" "${sums}")
    message(STATUS "Checksums: ${bundle_root}/SHA256SUMS")
]])

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(toolset_bundle_arch win64)
else()
    set(toolset_bundle_arch win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME install-kit-toolset)
set(CPACK_PACKAGE_VERSION ${TOOLSET_VERSION})
set(CPACK_PACKAGE_FILE_NAME install-kit-toolset-${TOOLSET_VERSION}-${toolset_bundle_arch})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
