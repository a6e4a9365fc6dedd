# Builds tidewatch-linux-<MACHINE>.tar.gz: one folder tidewatch/ with the two executables
# (stripped), tidewatch.nfo, the browser edition's page tidewatch.html, a screenshot and a short
# clip. Run by the release-archive target (see Packaging.cmake) as
#   cmake -DMACHINE=... -DINTRO=... -DRECORDER=... -DNFO=... -DPAGE=... -DSTRIP=... -DSHOT_START=...
#         -DSHOT_SIZE=...
#         -DCLIP_START=... -DCLIP_SECONDS=... -DCLIP_SIZE=... -DCLIP_FPS=... -DOUT_DIR=...
#         [-DPICTURES_IN=<folder> | -DPICTURES_OUT=<folder>] -P ReleaseArchive.cmake
# The pictures are rendered by the recorder being shipped, or, with PICTURES_IN, taken from a
# folder where another machine's archive left them (PICTURES_OUT): a recorder for another
# processor may not run here at full speed, or at all.
# The archive repeats byte for byte: entries sorted, owned by 0, dated SOURCE_DATE_EPOCH (from
# the environment, else the epoch), modes from the files' own executable bits, and gzip without
# a name or time. The archive appears under its name only when complete; a failure leaves
# neither it nor the staging folder behind.
# file(COPY_FILE) and file(RENAME ... RESULT) came with 3.21.
cmake_minimum_required(VERSION 3.21)

foreach(var MACHINE INTRO RECORDER NFO PAGE SHOT_START SHOT_SIZE CLIP_START CLIP_SECONDS CLIP_SIZE
            CLIP_FPS OUT_DIR)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "ReleaseArchive.cmake: -D${var}=... is missing")
    endif()
endforeach()

set(archive ${OUT_DIR}/tidewatch-linux-${MACHINE}.tar.gz)
set(partial ${archive}.part)
set(stage ${OUT_DIR}/release-stage-${MACHINE})
set(folder ${stage}/tidewatch)

function(fail why)
    file(REMOVE_RECURSE ${stage})
    file(REMOVE ${partial})
    message(FATAL_ERROR "release archive: ${why}")
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/ScriptStep.cmake)

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

if(PICTURES_IN)
    foreach(picture screenshot.png clip.mp4)
        if(NOT EXISTS ${PICTURES_IN}/${picture})
            fail("${PICTURES_IN}/${picture} does not exist")
        endif()
        file(COPY_FILE ${PICTURES_IN}/${picture} ${folder}/${picture})
    endforeach()
else()
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
    if(PICTURES_OUT)
        file(MAKE_DIRECTORY ${PICTURES_OUT})
        file(COPY_FILE ${folder}/screenshot.png ${PICTURES_OUT}/screenshot.png)
        file(COPY_FILE ${folder}/clip.mp4 ${PICTURES_OUT}/clip.mp4)
    endif()
endif()

set(epoch 0)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
endif()
execute_process(COMMAND tar --create --file=- --sort=name --format=gnu --owner=0 --group=0
        --numeric-owner --mtime=@${epoch} --mode=u+rwX,go=rX tidewatch
    COMMAND gzip -9n
    WORKING_DIRECTORY ${stage} OUTPUT_FILE ${partial} RESULTS_VARIABLE statuses)
if(NOT statuses MATCHES "^0;0$")
    fail("tar | gzip failed (${statuses})")
endif()
file(RENAME ${partial} ${archive} RESULT moved)
if(NOT moved EQUAL 0)
    fail("cannot move the archive into place: ${moved}")
endif()
file(REMOVE_RECURSE ${stage})
message(STATUS "Wrote ${archive}")
