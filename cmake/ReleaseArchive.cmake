# Builds tidewatch-linux-x86_64.tar.gz: one folder tidewatch/ with the two executables
# (stripped), tidewatch.nfo, the browser edition's page tidewatch.html, a screenshot and a short
# clip, both rendered by the recorder being shipped. Run by the release-archive target (see Packaging.cmake) as
#   cmake -DINTRO=... -DRECORDER=... -DNFO=... -DPAGE=... -DSTRIP=... -DSHOT_START=...
#         -DSHOT_SIZE=...
#         -DCLIP_START=... -DCLIP_SECONDS=... -DCLIP_SIZE=... -DCLIP_FPS=... -DOUT_DIR=...
#         -P ReleaseArchive.cmake
# The archive appears under its name only when complete; a failure leaves neither it nor the
# staging folder behind.
cmake_minimum_required(VERSION 3.20)

foreach(var INTRO RECORDER NFO PAGE SHOT_START SHOT_SIZE CLIP_START CLIP_SECONDS CLIP_SIZE
            CLIP_FPS OUT_DIR)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "ReleaseArchive.cmake: -D${var}=... is missing")
    endif()
endforeach()

set(archive ${OUT_DIR}/tidewatch-linux-x86_64.tar.gz)
set(partial ${archive}.part)
set(stage ${OUT_DIR}/release-stage)
set(folder ${stage}/tidewatch)

function(fail why)
    file(REMOVE_RECURSE ${stage})
    file(REMOVE ${partial})
    message(FATAL_ERROR "release archive: ${why}")
endfunction()

# Runs one step; any non-zero status ends the whole run after cleaning up.
function(step what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        fail("${what} failed (${status})")
    endif()
endfunction()

foreach(input ${INTRO} ${RECORDER} ${NFO} ${PAGE})
    if(NOT EXISTS ${input})
        message(FATAL_ERROR "release archive: ${input} does not exist (the page: web/build.sh)")
    endif()
endforeach()
# An archive from an earlier run must not pass for this one if this one fails.
file(REMOVE_RECURSE ${stage})
file(REMOVE ${partial} ${archive})
file(MAKE_DIRECTORY ${folder})

file(COPY_FILE ${INTRO} ${folder}/tidewatch)
file(COPY_FILE ${RECORDER} ${folder}/tidewatch-record)
if(STRIP)
    step("strip" ${STRIP} --strip-unneeded ${folder}/tidewatch ${folder}/tidewatch-record)
endif()
file(COPY ${NFO} ${PAGE} DESTINATION ${folder})

# The pictures come from the copy being shipped, with no display, as a user would make them.
set(recorder ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
    ${folder}/tidewatch-record)
message(STATUS "Rendering the screenshot at ${SHOT_START} s (${SHOT_SIZE})")
step("the screenshot" ${recorder} --size ${SHOT_SIZE} --start ${SHOT_START} --fps 1 --seconds 1
    --frames ${stage}/shot)
file(RENAME ${stage}/shot/frame-000000.png ${folder}/screenshot.png RESULT moved)
if(NOT moved EQUAL 0)
    fail("the screenshot frame is missing: ${moved}")
endif()
file(REMOVE_RECURSE ${stage}/shot)

message(STATUS "Recording the clip: ${CLIP_SECONDS} s from ${CLIP_START} s (${CLIP_SIZE}, "
    "${CLIP_FPS} fps)")
step("the clip" ${recorder} --size ${CLIP_SIZE} --fps ${CLIP_FPS} --start ${CLIP_START}
    --seconds ${CLIP_SECONDS} --out ${folder}/clip.mp4)

step("tar" ${CMAKE_COMMAND} -E chdir ${stage} ${CMAKE_COMMAND} -E tar czf ${partial} tidewatch)
file(RENAME ${partial} ${archive} RESULT moved)
if(NOT moved EQUAL 0)
    fail("cannot move the archive into place: ${moved}")
endif()
file(REMOVE_RECURSE ${stage})
message(STATUS "Wrote ${archive}")
