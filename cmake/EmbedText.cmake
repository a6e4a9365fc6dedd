# cmake -P script: turns one text file into a C++ constant (see tw_embed_text).
file(READ ${INPUT} content)
string(FIND "${content}" ")embedded\"" clash)
if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${INPUT}: contains the raw-string delimiter")
endif()
file(WRITE ${OUT_H} "// Generated from ${INPUT}; do not edit.\n#pragma once\n\nnamespace tw {\nextern const char ${SYMBOL}[];\n}\n")
file(WRITE ${OUT_CPP} "// Generated from ${INPUT}; do not edit.\n#include \"embedded/${SYMBOL}.h\"\n\nnamespace tw {\nconst char ${SYMBOL}[] = R\"embedded(${content})embedded\";\n}\n")
