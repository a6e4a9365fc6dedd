# TW_SANITIZE=address builds the library, the intro, the tools and the tests with AddressSanitizer
# and UndefinedBehaviorSanitizer (scripts/sanitize.sh drives such a build). Undefined behaviour is
# fatal, so every report ends the program with a failure status. The thread-sanitized music check
# (tests/audio) cannot be combined with these: build the targets you run, not "all". Such a build
# compiles at -O1 with line tables only, after the build type's flags: half the compile time of
# -O2 -g, and a report still names each frame's file and line.
set(TW_SANITIZE "" CACHE STRING "Sanitizers to build with: empty or address")
if(TW_SANITIZE STREQUAL "address")
    add_compile_options(
        $<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=address,undefined>
        $<$<COMPILE_LANGUAGE:C,CXX>:-fno-sanitize-recover=undefined>
        $<$<COMPILE_LANGUAGE:C,CXX>:-fno-omit-frame-pointer>
        $<$<COMPILE_LANGUAGE:C,CXX>:-O1>
        $<$<COMPILE_LANGUAGE:C,CXX>:-g1>)
    add_link_options(-fsanitize=address,undefined)
elseif(TW_SANITIZE)
    message(FATAL_ERROR "TW_SANITIZE must be empty or \"address\", not \"${TW_SANITIZE}\"")
endif()
