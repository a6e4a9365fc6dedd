# cmake -P script: one GLSL part as C++ text (see tw_glsl_as_cpp). Only the version line differs:
# C++ has no such directive, so it becomes a comment and the line numbers stay those of the file.
file(READ ${INPUT} content)
if(NOT content MATCHES "^#version[^\n]*\n")
    message(FATAL_ERROR "${INPUT}: does not open with a version line")
endif()
string(REGEX REPLACE "^#version[^\n]*\n" "// Generated from ${INPUT}; do not edit.\n" content
       "${content}")
file(WRITE ${OUTPUT} "${content}")
