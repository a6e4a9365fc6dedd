cmake_minimum_required(VERSION 3.20)
# Validates every GLSL file of the passes offline with glslangValidator: *.vert.glsl and
# *.frag.glsl as one stage each, and the scene program's parts joined in SCENE_PARTS_frag and
# SCENE_PARTS_vert order as the pass joins them (later version lines dropped). Any other .glsl
# file fails the check, so nothing escapes it.
if(NOT VALIDATOR OR NOT EXISTS "${VALIDATOR}")
    message(FATAL_ERROR "glslangValidator not found (install glslang-tools)")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
file(GLOB shaders RELATIVE ${SHADER_DIR} ${SHADER_DIR}/*.glsl)
set(failed "")

macro(validate stage file)
    execute_process(COMMAND ${VALIDATOR} -S ${stage} ${file}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message("${file}:\n${output}")
        string(APPEND failed " ${file}")
    endif()
endmacro()

foreach(stage frag vert)
    set(joined "")
    foreach(part IN LISTS SCENE_PARTS_${stage})
        file(READ ${SHADER_DIR}/${part} text)
        if(NOT joined STREQUAL "")
            string(REGEX REPLACE "^#version[^\n]*\n" "" text "${text}")
        endif()
        string(APPEND joined "${text}")
    endforeach()
    file(WRITE ${WORK_DIR}/scene.${stage} "${joined}")
    validate(${stage} ${WORK_DIR}/scene.${stage})
endforeach()

foreach(shader IN LISTS shaders)
    if(shader IN_LIST SCENE_PARTS_frag OR shader IN_LIST SCENE_PARTS_vert)
        continue()
    elseif(shader MATCHES "\\.(vert|frag)\\.glsl$")
        validate(${CMAKE_MATCH_1} ${SHADER_DIR}/${shader})
    else()
        message("${shader}: neither a .vert.glsl or .frag.glsl stage nor a scene program part")
        string(APPEND failed " ${shader}")
    endif()
endforeach()

if(NOT failed STREQUAL "")
    message(FATAL_ERROR "GLSL validation failed:${failed}")
endif()
