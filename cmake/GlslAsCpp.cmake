# cmake -P script: one GLSL part as C++ text (see tw_glsl_as_cpp). The line numbers stay those of
# the file: C++ has no version directive, so the version line becomes a comment; and GLSL's float
# literals are single precision where C++'s are double, so each gets an f (3. -> 3.f, .35 -> .35f,
# 1e+10 -> 1e+10f) and the part computes in float, rounding where the GL rounds.
file(READ ${INPUT} content)
if(NOT content MATCHES "^#version[^\n]*\n")
    message(FATAL_ERROR "${INPUT}: does not open with a version line")
endif()
string(REGEX REPLACE "^#version[^\n]*\n" "// Generated from ${INPUT}; do not edit.\n" content
       "${content}")
# A literal starts after anything that cannot end a name or a number; integers keep their type.
string(REGEX REPLACE
       "([^A-Za-z0-9_.])(([0-9]+\\.[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?|[0-9]+[eE][-+]?[0-9]+)"
       "\\1\\2f" content "${content}")
file(WRITE ${OUTPUT} "${content}")
