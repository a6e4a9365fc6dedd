# src/audio's sources for both builds, the desktop's (CMakeLists.txt here) and the browser's
# (web/CMakeLists.txt), as absolute paths:
#   TW_AUDIO_SHARED    compiled by both: the player's settings and the stream both sides play
#   TW_AUDIO_DESKTOP   the sound device, the player thread, the offline renderer and the linked-in
#                      module; the browser plays through web/src/WebMusic and the page's Web Audio
#                      feed, and carries the module itself (web/src/EmbeddedAssets)
set(TW_AUDIO_SHARED MusicPlayerContext.cpp MusicStream.cpp)
set(TW_AUDIO_DESKTOP AudioOutput.cpp MusicModule.cpp MusicPlayer.cpp MusicRender.cpp)
list(TRANSFORM TW_AUDIO_SHARED PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM TW_AUDIO_DESKTOP PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
