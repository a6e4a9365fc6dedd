# cmake -P script: checks the scroll message in INPUT and writes it as a C string literal to OUTPUT.
#
# The message is one line: 81 blanks, then the running text, 639 characters in all, made of blanks,
# letters, digits and ( ) , - . only, since those are what the scroller's font shows. The scene
# walks the text in 640 steps a cycle, so the length is fixed.
file(READ ${INPUT} message)
string(REGEX REPLACE "\n$" "" message "${message}")
string(LENGTH "${message}" length)
if(NOT length EQUAL 639)
    message(FATAL_ERROR "${INPUT}: the scroll message is ${length} characters long, not 639")
endif()
if(NOT message MATCHES "^[ A-Za-z0-9(),.-]+$")
    message(FATAL_ERROR "${INPUT}: only blanks, letters, digits and ( ) , - . may appear, on one line")
endif()
string(SUBSTRING "${message}" 0 81 lead)
string(SUBSTRING "${message}" 81 1 first)
string(REPEAT " " 81 blanks)
if(NOT lead STREQUAL blanks OR first STREQUAL " ")
    message(FATAL_ERROR "${INPUT}: the message starts with exactly 81 blanks")
endif()
file(WRITE ${OUTPUT}.tmp "// Generated from ${INPUT}; do not edit.\n\"${message}\"\n")
file(RENAME ${OUTPUT}.tmp ${OUTPUT})
