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
endfunction()
