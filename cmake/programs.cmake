# toolset_add_program(<name> GUI|CONSOLE SOURCES ... LIBRARIES ...)
# Adds one of the toolset's programs: statically linked, with a resource
# script that carries its "asInvoker" manifest.
function(toolset_add_program name kind)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;LIBRARIES")
    if(kind STREQUAL "GUI")
        add_executable(${name} WIN32 ${arg_SOURCES})
    else()
        add_executable(${name} ${arg_SOURCES})
    endif()
    target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
    set_property(GLOBAL APPEND PROPERTY TOOLSET_PROGRAMS ${name})
    # MSVC would embed a default manifest of its own beside ours.
    target_link_options(${name} PRIVATE "$<$<CXX_COMPILER_ID:MSVC>:/MANIFEST:NO>")
    # Where the loader honours it (Windows 10 1607 and later), MSVC builds
    # resolve their imports, delay-loaded ones included, from the system folder
    # only. Every program also restricts the search itself at its start
    # (vetra::restrict_dll_search), which is all a mingw build has.
    target_link_options(${name} PRIVATE "$<$<CXX_COMPILER_ID:MSVC>:/DEPENDENTLOADFLAG:0x800>")
endfunction()
