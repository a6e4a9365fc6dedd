cmake_minimum_required(VERSION 3.20)
# Validates every GLSL file offline with glslangValidator, as each program is built: the scene
# program's parts joined in SCENE_PARTS_frag and SCENE_PARTS_vert order and the plain program's in
# PLAIN_PARTS_frag order (every part's path from SCENE_DIR; later version lines dropped), every
# other *.vert.glsl and *.frag.glsl of SHADER_DIRS as one stage; then each of those stages again
# as the browser page compiles it, made by DIALECT (web/src/ShaderDialect.cpp, the page's own).
# Any other .glsl file fails the check, so nothing escapes it.
if(NOT VALIDATOR OR NOT EXISTS "${VALIDATOR}")
    message(FATAL_ERROR "glslangValidator not found (install glslang-tools)")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
set(failed "")
set(stages "")  # every stage file validated, for its browser form after

macro(validate stage file)
    execute_process(COMMAND ${VALIDATOR} -S ${stage} ${file}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message("${file}:\n${output}")
        string(APPEND failed " ${file}")
    endif()
endmacro()

include(${JOIN_SCRIPT})

# join(<name> <stage> <dir> <parts>...): the parts as one program stage, WORK_DIR/<name>.<stage>,
# joined as the build joins them.
function(join name stage dir)
    list(TRANSFORM ARGN PREPEND ${dir}/ OUTPUT_VARIABLE parts)
    tw_join_shader_parts(joined ${parts})
    file(WRITE ${WORK_DIR}/${name}.${stage} "${joined}")
endfunction()

join(scene frag ${SCENE_DIR} ${SCENE_PARTS_frag})
join(scene vert ${SCENE_DIR} ${SCENE_PARTS_vert})
join(plain frag ${SCENE_DIR} ${PLAIN_PARTS_frag})
foreach(program scene.frag scene.vert plain.frag)
    string(REGEX MATCH "[a-z]+$" stage ${program})
    validate(${stage} ${WORK_DIR}/${program})
    list(APPEND stages ${WORK_DIR}/${program})
endforeach()

foreach(dir IN LISTS SHADER_DIRS)
    file(GLOB shaders ${dir}/*.glsl)
    foreach(shader IN LISTS shaders)
        get_filename_component(name ${shader} NAME)
        file(RELATIVE_PATH part ${SCENE_DIR} ${shader})
        if(part IN_LIST SCENE_PARTS_frag OR part IN_LIST SCENE_PARTS_vert
           OR part IN_LIST PLAIN_PARTS_frag OR shader MATCHES "^${WEB_DIR}/dialect\\.")
            continue()
        elseif(name MATCHES "\\.(vert|frag)\\.glsl$")
            validate(${CMAKE_MATCH_1} ${shader})
            list(APPEND stages ${shader})
        else()
            message("${shader}: neither a .vert.glsl or .frag.glsl stage nor a program part")
            string(APPEND failed " ${shader}")
        endif()
    endforeach()
endforeach()

# The browser's form of each stage.
foreach(source IN LISTS stages)
    string(REGEX MATCH "(vert|frag)(\\.glsl)?$" stage ${source})
    set(stage ${CMAKE_MATCH_1})
    get_filename_component(name ${source} NAME)
    set(web ${WORK_DIR}/web-${name}.${stage})
    execute_process(COMMAND ${DIALECT} ${stage} ${source} ${web} RESULT_VARIABLE result)
    if(result EQUAL 0)
        validate(${stage} ${web})
    else()
        string(APPEND failed " ${web}")
    endif()
endforeach()

if(NOT failed STREQUAL "")
    message(FATAL_ERROR "GLSL validation failed:${failed}")
endif()
