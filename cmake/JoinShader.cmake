# Joins GLSL parts into one program stage: the first part's version line, then a table of the
# parts, then each part behind a `#line` that gives it its source number N and lines from 1000 N
# on: line n of part N's file is line 1000 N + n of the stage. A compiler log's "N:LINE" then names
# the part twice over, since Mesa reports source 0 for most errors and only the line block says
# which part. The table's lines ("// source N: path", paths from the source tree's root) travel
# with the stage, and ShaderProgram prints them, and each logged line's file and line, beside a
# failing compile log. A stage states its version once, first, so the other parts' version lines
# are dropped (their #line keeps the lines below numbered).
# Included for tw_join_shader_parts(); run as a cmake -P script with PARTS (a list of files) and
# OUTPUT, it writes the joined stage (see tw_embed_shader).
get_filename_component(TW_JOIN_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(TW_JOIN_LINES_PER_PART 1000)  # ShaderLog.cpp's kLinesPerPart

function(tw_join_shader_parts out_var)
    set(version "")
    set(table "// Parts: line 1000 N + n of this stage (source N) is line n of part N's file.\n")
    set(body "")
    set(number 0)
    foreach(part IN LISTS ARGN)
        file(READ ${part} text)
        string(REGEX MATCHALL "\n" newlines "${text}")
        list(LENGTH newlines count)
        if(NOT count LESS TW_JOIN_LINES_PER_PART)
            message(FATAL_ERROR
                "${part}: ${count} lines; a part must have fewer than ${TW_JOIN_LINES_PER_PART}")
        endif()
        # GLSL 1.20 numbers the line after `#line L` as L + 1 (ES 3.00 as L; ShaderDialect adds the
        # one for the browser).
        math(EXPR line "${number} * ${TW_JOIN_LINES_PER_PART}")
        if(text MATCHES "^(#version[^\n]*\n)")
            if(version STREQUAL "")
                set(version "${CMAKE_MATCH_1}")
            endif()
            string(REGEX REPLACE "^#version[^\n]*\n" "" text "${text}")
            math(EXPR line "${line} + 1")
        endif()
        file(RELATIVE_PATH path ${TW_JOIN_ROOT} ${part})
        string(APPEND table "// source ${number}: ${path}\n")
        string(APPEND body "#line ${line} ${number}\n${text}")
        math(EXPR number "${number} + 1")
    endforeach()
    set(${out_var} "${version}${table}${body}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    tw_join_shader_parts(joined ${PARTS})
    file(WRITE ${OUTPUT} "${joined}")
endif()
