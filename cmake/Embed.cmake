# Build-time embedding of text (GLSL) and binary (generated assets) into the library.

set(TW_EMBED_TEXT_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedText.cmake)

# tw_embed_text(<target> <symbol> <file>): defines `extern const char tw::<symbol>[]` holding the
# file's text, declared in the generated header embedded/<symbol>.h.
function(tw_embed_text target symbol file)
    get_filename_component(abs ${file} ABSOLUTE)
    set(out_cpp ${CMAKE_BINARY_DIR}/generated/embedded/${symbol}.cpp)
    set(out_h ${CMAKE_BINARY_DIR}/generated/embedded/${symbol}.h)
    add_custom_command(
        OUTPUT ${out_cpp} ${out_h}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DSYMBOL=${symbol} -DOUT_CPP=${out_cpp}
                -DOUT_H=${out_h} -P ${TW_EMBED_TEXT_SCRIPT}
        DEPENDS ${abs} ${TW_EMBED_TEXT_SCRIPT}
        COMMENT "Embedding ${file}")
    # A custom command's rule belongs to targets of the directory that defines it; the library is
    # defined elsewhere, so a helper target here carries the rule and the library waits for it.
    add_custom_target(tw_embed_${symbol} DEPENDS ${out_cpp} ${out_h})
    add_dependencies(${target} tw_embed_${symbol})
    target_sources(${target} PRIVATE ${out_cpp} ${out_h})
endfunction()

# tw_embed_shader(<target> <symbol> <dir> <part>...): the GLSL parts under <dir> joined in order
# into one program stage (cmake/JoinShader.cmake), embedded as tw_embed_text does; the part lists
# are the one place that says which parts make a stage, and in which order.
set(TW_JOIN_SHADER_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/JoinShader.cmake)
function(tw_embed_shader target symbol dir)
    list(TRANSFORM ARGN PREPEND ${dir}/ OUTPUT_VARIABLE parts)
    set(joined ${CMAKE_BINARY_DIR}/generated/glsl/${symbol}.glsl)
    add_custom_command(
        OUTPUT ${joined}
        COMMAND ${CMAKE_COMMAND} "-DPARTS=${parts}" -DOUTPUT=${joined} -P ${TW_JOIN_SHADER_SCRIPT}
        DEPENDS ${parts} ${TW_JOIN_SHADER_SCRIPT}
        COMMENT "Joining ${symbol}"
        VERBATIM)
    tw_embed_text(${target} ${symbol} ${joined})
endfunction()

# tw_embed_binary(<target> <symbol> <file>): links the bytes of <file> (usually produced by a
# generator's custom command) into <target> as `extern "C" const uint8_t tw_<symbol>_begin[]`,
# 4-byte aligned in read-only data, with its length in `extern "C" const uint64_t
# tw_<symbol>_size` (worked out by the assembler, so no pointers to different objects are ever
# subtracted). Assembled with .incbin, so megabytes cost nothing at compile time.
function(tw_embed_binary target symbol file)
    set(out_s ${CMAKE_BINARY_DIR}/generated/embedded/${symbol}.S)
    file(WRITE ${out_s}.in
"    .section .rodata
    .balign 4
    .global tw_${symbol}_begin
    .global tw_${symbol}_size
tw_${symbol}_begin:
    .incbin \"${file}\"
.Ltw_${symbol}_end:
    .balign 8
tw_${symbol}_size:
    .quad .Ltw_${symbol}_end - tw_${symbol}_begin
    .section .note.GNU-stack,\"\",@progbits
")
    configure_file(${out_s}.in ${out_s} COPYONLY)
    # .incbin is invisible to make: the file is named as the assembly's dependency where the
    # target lives, so a regenerated file is assembled in again. The one place that says so.
    set_source_files_properties(${out_s} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS ${file})
    target_sources(${target} PRIVATE ${out_s})
endfunction()

# tw_glsl_as_cpp(<target> <file>): the GLSL part <file> less its version line, as the generated
# glsl/<name>.inc that C++ includes to use the shaders' own constants and formulas (the part must
# keep to what reads alike in both languages).
set(TW_GLSL_AS_CPP_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/GlslAsCpp.cmake)
function(tw_glsl_as_cpp target file)
    get_filename_component(abs ${file} ABSOLUTE)
    get_filename_component(name ${file} NAME_WE)
    set(out ${CMAKE_BINARY_DIR}/generated/glsl/${name}.inc)
    add_custom_command(
        OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${abs} -DOUTPUT=${out} -P ${TW_GLSL_AS_CPP_SCRIPT}
        DEPENDS ${abs} ${TW_GLSL_AS_CPP_SCRIPT}
        COMMENT "Making ${file} includable from C++")
    add_custom_target(tw_glsl_${name} DEPENDS ${out})
    add_dependencies(${target} tw_glsl_${name})
    target_sources(${target} PRIVATE ${out})
endfunction()
