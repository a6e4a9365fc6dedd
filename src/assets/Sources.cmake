# src/assets' sources for both builds, the desktop's (CMakeLists.txt here) and the browser's
# (web/CMakeLists.txt), as absolute paths, and the one rule that embeds the scroll message:
#   TW_ASSETS_SHARED    compiled by both
#   TW_ASSETS_DESKTOP   the pictures linked into the program (the page carries them itself and
#                       hands them over in web/src/EmbeddedAssets) and the PNG writer of the tools
set(TW_ASSETS_SHARED Checkerboard.cpp ImageRecord.cpp ScrollMessage.cpp ScrollText.cpp TextureBank.cpp)
set(TW_ASSETS_DESKTOP EmbeddedRecords.cpp PngWriter.cpp)
list(TRANSFORM TW_ASSETS_SHARED PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM TW_ASSETS_DESKTOP PREPEND ${CMAKE_CURRENT_LIST_DIR}/)

# tw_embed_scroll_message(<target>): the scroll message, checked for length and characters as it
# is embedded into generated/embedded/scroll_message.inc, which ScrollMessage.cpp includes.
function(tw_embed_scroll_message target)
    set(inc ${TW_GENERATED_DIR}/embedded/scroll_message.inc)
    add_custom_command(
        OUTPUT ${inc}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${CMAKE_CURRENT_FUNCTION_LIST_DIR}/message.txt -DOUTPUT=${inc}
                -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedMessage.cmake
        DEPENDS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/message.txt ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedMessage.cmake
        COMMENT "Checking and embedding the scroll message")
    # A helper target carries the rule, since the library may be defined in another directory.
    add_custom_target(tidewatch-scroll-message DEPENDS ${inc})
    add_dependencies(${target} tidewatch-scroll-message)
endfunction()
