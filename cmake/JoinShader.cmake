# Joins GLSL parts into one program stage: the parts in order, the first part's version line kept
# and the others' dropped, since a stage states its version once, first. Included for
# tw_join_shader_parts(); run as a cmake -P script with PARTS (a list of files) and OUTPUT, it
# writes the joined stage (see tw_embed_shader).
function(tw_join_shader_parts out_var)
    set(joined "")
    foreach(part IN LISTS ARGN)
        file(READ ${part} text)
        if(NOT joined STREQUAL "")
            string(REGEX REPLACE "^#version[^\n]*\n" "" text "${text}")
        endif()
        string(APPEND joined "${text}")
    endforeach()
    set(${out_var} "${joined}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    tw_join_shader_parts(joined ${PARTS})
    file(WRITE ${OUTPUT} "${joined}")
endif()
