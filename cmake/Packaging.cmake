# Installation of the manual pages, the menu entry, the Debian package (CPack) and the release
# archive. Included from the top-level CMakeLists.txt after the intro and the recorder are
# defined; the two executables install themselves into bin/.

# Manual pages and the changelog, with the project version filled in; installed compressed, as
# Debian's policy wants (gzip -n: no name or time stamp, so builds repeat). The package is its
# own upstream (a native package), so the changelog is changelog.gz, not changelog.Debian.gz.
set(TW_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
configure_file(${CMAKE_SOURCE_DIR}/doc/tidewatch.6.in ${TW_DOC_DIR}/tidewatch.6 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/doc/tidewatch-record.1.in ${TW_DOC_DIR}/tidewatch-record.1 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/doc/changelog.in ${TW_DOC_DIR}/changelog @ONLY)

# AppStream metadata for software centres; its release date is the changelog's latest entry's.
file(STRINGS ${CMAKE_SOURCE_DIR}/doc/changelog.in tw_signed REGEX "^ -- " LIMIT_COUNT 1)
if(NOT tw_signed MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "doc/changelog.in: no date in the latest entry's signature line")
endif()
set(tw_day ${CMAKE_MATCH_1})
set(tw_year ${CMAKE_MATCH_3})
set(tw_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND tw_months ${CMAKE_MATCH_2} tw_month)
math(EXPR tw_month "${tw_month} + 1")
string(REGEX REPLACE "^([0-9])$" "0\\1" tw_month ${tw_month})
set(TW_RELEASE_DATE ${tw_year}-${tw_month}-${tw_day})
configure_file(${CMAKE_SOURCE_DIR}/doc/tidewatch.metainfo.xml.in
    ${TW_DOC_DIR}/example.vendrel.tidewatch.metainfo.xml @ONLY)
set(tw_compressed)
foreach(name tidewatch.6 tidewatch-record.1 changelog)
    add_custom_command(OUTPUT ${TW_DOC_DIR}/${name}.gz
        COMMAND gzip -9nf -k ${TW_DOC_DIR}/${name}
        DEPENDS ${TW_DOC_DIR}/${name}
        VERBATIM)
    list(APPEND tw_compressed ${TW_DOC_DIR}/${name}.gz)
endforeach()

# The menu icon, drawn from the embedded logo at the size its folder names.
set(TW_ICON ${TW_DOC_DIR}/tidewatch.png)
add_custom_command(OUTPUT ${TW_ICON}
    COMMAND tidewatch-make-icon 128 ${TW_ICON}
    DEPENDS tidewatch-make-icon
    VERBATIM)
add_custom_target(tidewatch-package-files ALL DEPENDS ${tw_compressed} ${TW_ICON})

install(FILES ${TW_DOC_DIR}/tidewatch.6.gz DESTINATION share/man/man6)
install(FILES ${TW_DOC_DIR}/tidewatch-record.1.gz DESTINATION share/man/man1)
install(FILES ${CMAKE_SOURCE_DIR}/doc/copyright ${TW_DOC_DIR}/changelog.gz
    DESTINATION share/doc/tidewatch)
install(FILES ${CMAKE_SOURCE_DIR}/doc/tidewatch.desktop DESTINATION share/applications)
install(FILES ${TW_DOC_DIR}/example.vendrel.tidewatch.metainfo.xml DESTINATION share/metainfo)
install(FILES ${TW_ICON} DESTINATION share/icons/hicolor/128x128/apps)

# The machine the programs are built for, as the archive, the .nfo and Debian name it. The
# glibc floor is the newest symbol version the archive's programs need (its test checks it).
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
    set(TW_MACHINE aarch64)
    set(TW_MACHINE_NAME arm64)
    set(TW_DEB_ARCH arm64)
else()
    set(TW_MACHINE x86_64)
    set(TW_MACHINE_NAME x86-64)
    set(TW_DEB_ARCH amd64)
endif()
set(TW_GLIBC_FLOOR 2.35)

# Debian package: cpack -G DEB in the build folder (or the "package" target) writes
# tidewatch_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewatch)
set(CPACK_PACKAGE_VENDOR Vendrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vendrel <tidewatch@vendrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen real-time audiovisual intro by Vendrel")
# The long description, in lines Debian tools show as they are.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tidewatch covers the primary monitor and ray-traces an animated scene (mirror"
    "spheres, a scrolling wall of letters, a daylight sky, a dissolving logo) to its"
    "own tracker music until Escape is pressed. Everything it shows or plays is"
    "inside the executable."
    "The package also holds tidewatch-record, which renders the intro off-screen"
    "into an MP4 video or PNG frames, with no display or sound device.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Named, not asked of dpkg, which answers for the build machine in a cross build.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TW_DEB_ARCH})
# Not "games": Debian keeps that section for packages with a game in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends is worked out by dpkg-shlibdeps from what the executables link; ffmpeg only serves
# the recorder's video output.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
# Folders 755 whatever the builder's umask; files keep their install modes.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# A source package holds the sources only, never a build folder.
set(CPACK_SOURCE_GENERATOR TGZ)
# cpack installs what is built, building nothing: the release target runs it from inside this
# build, which must not start a second build of itself (see below).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/")
include(CPack)

# The release archive's programs: the intro and the recorder with GLFW, libxmp, libpng and the C++
# runtime linked in (see Portable.cmake); built for the archive only, or with the tests.
tw_add_portable(tidewatch-portable tidewatch)
tw_add_portable(tidewatch-record-portable tidewatch-record)
set_target_properties(tidewatch-portable tidewatch-record-portable PROPERTIES EXCLUDE_FROM_ALL TRUE)

# Release archive: cmake --build <build> --target release-archive writes
# <build>/tidewatch-linux-x86_64.tar.gz with the executables, the .nfo, a screenshot and a clip,
# both made by the recorder, and the browser edition's page (built beforehand by web/build.sh).
set(TW_WEB_BUILD_DIR ${CMAKE_BINARY_DIR}/web CACHE PATH
    "where the release target builds the browser edition (web/build.sh's folder to share it)")
set(TW_WEB_PAGE ${TW_WEB_BUILD_DIR}/tidewatch.html CACHE FILEPATH
    "the browser edition's page that the release archive carries")
set(TW_SHOT_START 20)
set(TW_SHOT_SIZE 1280x720)
set(TW_CLIP_START 12)
set(TW_CLIP_SECONDS 10)
set(TW_CLIP_SIZE 640x360)
set(TW_CLIP_FPS 30)
# Another machine's archive carries the x86-64 recorder's pictures (see cmake/Release.cmake).
if(TW_MACHINE STREQUAL x86_64)
    set(TW_PICTURES_BY "the recorder")
else()
    set(TW_PICTURES_BY "the x86-64 recorder")
endif()
configure_file(${CMAKE_SOURCE_DIR}/doc/tidewatch.nfo.in ${TW_DOC_DIR}/tidewatch.nfo @ONLY)

# The command that builds the archive, less -DOUT_DIR=<folder> -P ${TW_RELEASE_SCRIPT}; the
# tests run it into a scratch folder.
set(TW_RELEASE_COMMAND
    ${CMAKE_COMMAND}
    -DMACHINE=${TW_MACHINE}
    -DINTRO=$<TARGET_FILE:tidewatch-portable>
    -DRECORDER=$<TARGET_FILE:tidewatch-record-portable>
    -DNFO=${TW_DOC_DIR}/tidewatch.nfo
    -DPAGE=${TW_WEB_PAGE}
    -DSTRIP=${CMAKE_STRIP}
    -DSHOT_START=${TW_SHOT_START}
    -DSHOT_SIZE=${TW_SHOT_SIZE}
    -DCLIP_START=${TW_CLIP_START}
    -DCLIP_SECONDS=${TW_CLIP_SECONDS}
    -DCLIP_SIZE=${TW_CLIP_SIZE}
    -DCLIP_FPS=${TW_CLIP_FPS})
set(TW_RELEASE_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/ReleaseArchive.cmake)
add_custom_target(release-archive
    COMMAND ${TW_RELEASE_COMMAND} -DOUT_DIR=${CMAKE_BINARY_DIR} -P ${TW_RELEASE_SCRIPT}
    DEPENDS tidewatch-portable tidewatch-record-portable ${TW_DOC_DIR}/tidewatch.nfo
    COMMENT "Making tidewatch-linux-${TW_MACHINE}.tar.gz"
    VERBATIM)

# The whole release: cmake --build <build> --target release writes <build>/release/ with both
# machines' archives and packages, the page and SHA256SUMS (cmake/Release.cmake). The arm64
# programs come from a cross build of this source in <build>/aarch64, made by the same command;
# the page from web/'s build into TW_WEB_BUILD_DIR, with this build's generated pictures.
if(NOT CMAKE_CROSSCOMPILING)
    set(TW_CROSS_DIR ${CMAKE_BINARY_DIR}/aarch64)
    # The nested builds use every core: a build tool started by a build runs one job otherwise.
    cmake_host_system_information(RESULT tw_cores QUERY NUMBER_OF_LOGICAL_CORES)
    set(tw_cross_toolchain ${CMAKE_SOURCE_DIR}/cmake/aarch64-linux-gnu.cmake)
    set(tw_installed tidewatch tidewatch-record tidewatch-package-files)
    set(TW_PREBUILT_THIRD_PARTY_ARM64 "" CACHE PATH
        "TW_PREBUILT_THIRD_PARTY of the arm64 build: an earlier build's aarch64/third-party/")
    add_custom_target(release-arm64-programs
        COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${TW_CROSS_DIR} -G ${CMAKE_GENERATOR}
            -DCMAKE_TOOLCHAIN_FILE=${tw_cross_toolchain} -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
            -DBUILD_TESTING=OFF -DTW_WEB_PAGE=${TW_WEB_PAGE}
            -DTW_PREBUILT_THIRD_PARTY=${TW_PREBUILT_THIRD_PARTY_ARM64}
        COMMAND ${CMAKE_COMMAND} --build ${TW_CROSS_DIR} --parallel ${tw_cores}
            --target tidewatch-portable tidewatch-record-portable ${tw_installed}
        COMMENT "Building the arm64 programs in ${TW_CROSS_DIR}"
        VERBATIM)

    set(tw_web_xmp ${TW_WEB_BUILD_DIR}/libxmp)
    add_custom_target(release-page
        COMMAND ${tw_fetch} libxmp-dev ${tw_web_xmp}
        # Debian's emcc runs with the system python and finds its JS optimiser under /usr/share.
        COMMAND ${CMAKE_COMMAND} -E env PATH=/usr/bin:$ENV{PATH} NODE_PATH=/usr/share/nodejs
            emcmake ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR}/web -B ${TW_WEB_BUILD_DIR}
            -DCMAKE_BUILD_TYPE=Release -DTW_NATIVE_BUILD=${CMAKE_BINARY_DIR}
            -DTW_LIBXMP_DIR=${tw_web_xmp}
        COMMAND ${CMAKE_COMMAND} -E env PATH=/usr/bin:$ENV{PATH} NODE_PATH=/usr/share/nodejs
            ${CMAKE_COMMAND} --build ${TW_WEB_BUILD_DIR} --parallel ${tw_cores}
        COMMENT "Building the browser edition in ${TW_WEB_BUILD_DIR}"
        VERBATIM)
    add_dependencies(release-page tidewatch-pictures tidewatch-music-module tidewatch-make-icon)
    add_dependencies(release-archive release-page)

    set(tw_archive_common -DPAGE=${TW_WEB_PAGE}
        -DSHOT_START=${TW_SHOT_START} -DSHOT_SIZE=${TW_SHOT_SIZE} -DCLIP_START=${TW_CLIP_START}
        -DCLIP_SECONDS=${TW_CLIP_SECONDS} -DCLIP_SIZE=${TW_CLIP_SIZE} -DCLIP_FPS=${TW_CLIP_FPS})
    set(tw_native_archive ${TW_RELEASE_COMMAND})
    list(REMOVE_AT tw_native_archive 0)
    set(tw_cross_archive ${tw_archive_common} -DMACHINE=aarch64
        -DINTRO=${TW_CROSS_DIR}/portable/tidewatch-portable
        -DRECORDER=${TW_CROSS_DIR}/portable/tidewatch-record-portable
        -DNFO=${TW_CROSS_DIR}/doc/tidewatch.nfo -DSTRIP=aarch64-linux-gnu-strip)
    string(REPLACE ";" "$<SEMICOLON>" tw_native_archive "${tw_native_archive}")
    string(REPLACE ";" "$<SEMICOLON>" tw_cross_archive "${tw_cross_archive}")
    add_custom_target(release
        COMMAND ${CMAKE_COMMAND} -DOUT_DIR=${CMAKE_BINARY_DIR}/release
            -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DNATIVE_DIR=${CMAKE_BINARY_DIR}
            -DCROSS_DIR=${TW_CROSS_DIR} -DVERSION=${PROJECT_VERSION} -DPAGE=${TW_WEB_PAGE}
            -DARCHIVE_SCRIPT=${TW_RELEASE_SCRIPT} "-DNATIVE_ARCHIVE=${tw_native_archive}"
            "-DCROSS_ARCHIVE=${tw_cross_archive}" -P ${CMAKE_SOURCE_DIR}/cmake/Release.cmake
        COMMENT "Making the release in ${CMAKE_BINARY_DIR}/release"
        VERBATIM)
    add_dependencies(release tidewatch-portable tidewatch-record-portable ${tw_installed}
        release-arm64-programs release-page)
endif()
