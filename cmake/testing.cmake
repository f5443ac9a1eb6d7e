# Test helpers. Tests of the 64-bit build run under Wine through the
# toolchain's emulator, in a prefix inside the build tree.
find_package(GTest CONFIG REQUIRED)

set(TOOLSET_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# Host tests use Debian's python3, which sees Debian's python modules (pefile).
find_program(TOOLSET_HOST_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)

# One setup test creates the Wine prefix before anything runs in it, so
# parallel tests never race to initialise it.
if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME wine_prefix COMMAND ${CMAKE_CURRENT_LIST_DIR}/init-wine-prefix.sh ${WINE_LOADER})
    set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 300
        ENVIRONMENT "WINEPREFIX=${TOOLSET_WINE_PREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
endif()

# toolset_add_gtest(<name> SOURCES ... LIBRARIES ...)
function(toolset_add_gtest name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_prefix TIMEOUT 600)
endfunction()

# toolset_add_host_test(<name> COMMAND ...): a test that runs on the Linux side
# (an independent tool judging our output), with the build's Wine settings.
function(toolset_add_host_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "COMMAND")
    add_test(NAME ${name} COMMAND ${arg_COMMAND})
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED wine_prefix TIMEOUT 600
        ENVIRONMENT "WINEPREFIX=${TOOLSET_WINE_PREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;WINE_LOADER=${WINE_LOADER};TOOLSET_BIN=${CMAKE_BINARY_DIR}/bin")
endfunction()
