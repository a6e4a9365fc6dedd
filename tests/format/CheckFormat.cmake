# Fails when any C++ source of the project differs from what clang-format makes of it, in every
# source folder: the intro's, the tools', the browser page's and the tests'.
set(sources "")
foreach(dir src tools web tests)
    file(GLOB_RECURSE found ${SOURCE_DIR}/${dir}/*.cpp ${SOURCE_DIR}/${dir}/*.h
        ${SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
endforeach()
execute_process(COMMAND clang-format --dry-run --Werror --style=file ${sources}
    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: some files are not formatted (run clang-format -i on them)")
endif()
