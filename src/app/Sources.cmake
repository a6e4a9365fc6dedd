# src/app's sources for both builds, the desktop's (CMakeLists.txt here) and the browser's
# (web/CMakeLists.txt), as absolute paths:
#   TW_APP_SHARED    compiled by both
#   TW_APP_DESKTOP   the desktop program's own: the browser's frame loop is web/src/WebIntro
set(TW_APP_SHARED GlResources.cpp ResolutionStep.cpp)
set(TW_APP_DESKTOP Intro.cpp StartupFailure.cpp Timer.cpp)
list(TRANSFORM TW_APP_SHARED PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM TW_APP_DESKTOP PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
