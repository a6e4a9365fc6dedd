# Gathers the release into OUT_DIR: both machines' archives and Debian packages, the browser
# edition's page and SHA256SUMS over them. Run by the release target (see Packaging.cmake), once
# this build and the arm64 build have built their programs and the page exists, as
#   cmake -DOUT_DIR=... -DSOURCE_DIR=... -DNATIVE_DIR=... -DCROSS_DIR=... -DVERSION=...
#         -DPAGE=... -DARCHIVE_SCRIPT=... -DNATIVE_ARCHIVE=<list> -DCROSS_ARCHIVE=<list>
#         -P Release.cmake
# where the two lists are each machine's ReleaseArchive.cmake options. Every date inside comes
# from SOURCE_DATE_EPOCH: the environment's if set, else the last commit's. A failure leaves no
# SHA256SUMS, so a half-made release never checks out.
# file(COPY_FILE) and file(RENAME ... RESULT) came with 3.21.
cmake_minimum_required(VERSION 3.21)

foreach(var OUT_DIR SOURCE_DIR NATIVE_DIR CROSS_DIR VERSION PAGE ARCHIVE_SCRIPT NATIVE_ARCHIVE
            CROSS_ARCHIVE)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "Release.cmake: -D${var}=... is missing")
    endif()
endforeach()

set(work ${OUT_DIR}/.work)
function(fail why)
    file(REMOVE_RECURSE ${work})
    file(REMOVE ${OUT_DIR}/SHA256SUMS)
    message(FATAL_ERROR "release: ${why}")
endfunction()
include(${CMAKE_CURRENT_LIST_DIR}/ScriptStep.cmake)

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
        message(FATAL_ERROR "release: no SOURCE_DATE_EPOCH in the environment and no commit to "
            "take it from in ${SOURCE_DIR}")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
message(STATUS "Release dated $ENV{SOURCE_DATE_EPOCH} (SOURCE_DATE_EPOCH)")
# What the packages' tools write does not depend on the builder's settings.
set(ENV{TZ} UTC)
set(ENV{LC_ALL} C.UTF-8)

file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${work})

# The x86-64 archive renders the pictures; the arm64 archive carries the same ones.
step("the x86-64 archive" ${CMAKE_COMMAND} ${NATIVE_ARCHIVE} -DOUT_DIR=${OUT_DIR}
    -DPICTURES_OUT=${work}/pictures -P ${ARCHIVE_SCRIPT})
step("the arm64 archive" ${CMAKE_COMMAND} ${CROSS_ARCHIVE} -DOUT_DIR=${OUT_DIR}
    -DPICTURES_IN=${work}/pictures -P ${ARCHIVE_SCRIPT})

# Each build's package; cpack finds the build's programs made already. dpkg-shlibdeps works out
# the arm64 package's dependencies from Debian's arm64 libraries when told the machine. cpack
# dates the package's members from SOURCE_DATE_EPOCH but gives the outer ones the umask's modes.
foreach(arch amd64 arm64)
    if(arch STREQUAL amd64)
        set(build ${NATIVE_DIR})
    else()
        set(build ${CROSS_DIR})
    endif()
    step("the ${arch} package" ${CMAKE_COMMAND} -E env DEB_HOST_ARCH=${arch} sh -c
        "umask 022 && exec cpack -G DEB --config \"$0\" -B \"$1\"" ${build}/CPackConfig.cmake
        ${work}/${arch})
    file(RENAME ${work}/${arch}/tidewatch_${VERSION}_${arch}.deb
        ${OUT_DIR}/tidewatch_${VERSION}_${arch}.deb RESULT moved)
    if(NOT moved EQUAL 0)
        fail("cpack wrote no tidewatch_${VERSION}_${arch}.deb: ${moved}")
    endif()
endforeach()

if(NOT EXISTS ${PAGE})
    fail("the page ${PAGE} does not exist")
endif()
file(COPY_FILE ${PAGE} ${OUT_DIR}/tidewatch.html)

file(REMOVE_RECURSE ${work})
set(files tidewatch-linux-aarch64.tar.gz tidewatch-linux-x86_64.tar.gz tidewatch.html
    tidewatch_${VERSION}_amd64.deb tidewatch_${VERSION}_arm64.deb)
step("sha256sum" ${CMAKE_COMMAND} -E chdir ${OUT_DIR} sh -c "sha256sum $* >SHA256SUMS.part" sh
    ${files})
file(RENAME ${OUT_DIR}/SHA256SUMS.part ${OUT_DIR}/SHA256SUMS)
message(STATUS "Wrote ${OUT_DIR}: ${files} SHA256SUMS")
