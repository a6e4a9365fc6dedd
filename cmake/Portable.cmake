# The libraries from outside the system that tidewatch_lib uses (GLFW, libxmp, libpng), as one
# interface target, tw_third_party, which each program resolves on its own: Debian's shared
# libraries, as Debian's policy wants for the package, or, for a program with the property
# TW_PORTABLE set (the release archive's copies, see Packaging.cmake), static ones, so that the
# archive runs on desktops that have only glibc, GL, X11 and ALSA.
# GLFW and libxmp ship no static library in Debian: both are built from Debian's source packages
# of the installed versions (scripts/debian-source.sh, into the build folder), on first use only.
# libpng and zlib come from their -dev packages' own static archives.
include(ExternalProject)

set(TW_THIRD_PARTY_DIR ${CMAKE_BINARY_DIR}/third-party)
set(tw_fetch ${CMAKE_SOURCE_DIR}/scripts/debian-source.sh)
# The same compiler as the build (a cross build passes its toolchain on), and no build path in
# what it writes.
set(tw_launcher -DCMAKE_C_FLAGS=-ffile-prefix-map=${TW_THIRD_PARTY_DIR}=third-party)
if(CMAKE_C_COMPILER_LAUNCHER)
    list(APPEND tw_launcher -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER})
endif()
if(CMAKE_TOOLCHAIN_FILE)
    list(APPEND tw_launcher -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE})
endif()

set(TW_PREBUILT_THIRD_PARTY "" CACHE PATH
    "third-party/ of an earlier build of the same sources for the same machine: its static GLFW \
and libxmp are linked instead of being built again (a rebuild that checks the rest)")
if(TW_PREBUILT_THIRD_PARTY)
    set(tw_glfw_prefix ${TW_PREBUILT_THIRD_PARTY}/glfw)
    set(tw_xmp_prefix ${TW_PREBUILT_THIRD_PARTY}/xmp)
    foreach(library ${tw_glfw_prefix}/install/lib/libglfw3.a ${tw_xmp_prefix}/install/lib/libxmp.a)
        if(NOT EXISTS ${library})
            message(FATAL_ERROR "TW_PREBUILT_THIRD_PARTY: ${library} does not exist")
        endif()
    endforeach()
    add_custom_target(tw-glfw-static)
    add_custom_target(tw-xmp-static)
else()
    # GLFW for X11 only, as Debian's libglfw3: it opens the X extension libraries at run time.
    set(tw_glfw_prefix ${TW_THIRD_PARTY_DIR}/glfw)
    ExternalProject_Add(tw-glfw-static
        PREFIX ${tw_glfw_prefix}
        SOURCE_DIR ${tw_glfw_prefix}/source
        INSTALL_DIR ${tw_glfw_prefix}/install
        DOWNLOAD_COMMAND ${tw_fetch} libglfw3-dev ${tw_glfw_prefix}/source
        CMAKE_ARGS -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DBUILD_SHARED_LIBS=OFF
            -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF ${tw_launcher}
        BUILD_BYPRODUCTS ${tw_glfw_prefix}/install/lib/libglfw3.a
        EXCLUDE_FROM_ALL TRUE)

    # libxmp by the browser edition's recipe (cmake/libxmp), without its configure script.
    set(tw_xmp_prefix ${TW_THIRD_PARTY_DIR}/xmp)
    ExternalProject_Add(tw-xmp-static
        PREFIX ${tw_xmp_prefix}
        SOURCE_DIR ${CMAKE_SOURCE_DIR}/cmake/libxmp
        INSTALL_DIR ${tw_xmp_prefix}/install
        DOWNLOAD_COMMAND ${tw_fetch} libxmp-dev ${tw_xmp_prefix}/source
        CMAKE_ARGS -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_POSITION_INDEPENDENT_CODE=ON -DTW_LIBXMP_DIR=${tw_xmp_prefix}/source ${tw_launcher}
        BUILD_BYPRODUCTS ${tw_xmp_prefix}/install/lib/libxmp.a
        EXCLUDE_FROM_ALL TRUE)
endif()

find_library(TW_PNG_STATIC libpng16.a REQUIRED)
find_library(TW_ZLIB_STATIC libz.a REQUIRED)

set(tw_portable $<BOOL:$<TARGET_PROPERTY:TW_PORTABLE>>)
add_library(tw_third_party INTERFACE)
target_link_libraries(tw_third_party INTERFACE
    "$<$<NOT:${tw_portable}>:PkgConfig::GLFW;PkgConfig::XMP;PNG::PNG>"
    # Files rather than imported targets: a target named here, even behind a false condition,
    # would make every program wait for the source builds (Ninja orders on it).
    "$<${tw_portable}:${tw_glfw_prefix}/install/lib/libglfw3.a;X11;${CMAKE_DL_LIBS};Threads::Threads>"
    "$<${tw_portable}:${tw_xmp_prefix}/install/lib/libxmp.a;${TW_PNG_STATIC};${TW_ZLIB_STATIC};m>")

# tw_add_portable(<name> <target>): <name> is <target> linked again the archive's way, in the
# folder portable/ of the build under its own name (the archive gives it <target>'s); a file
# named as <target> would take over <target>'s name as a build target with Ninja.
function(tw_add_portable name target)
    get_target_property(sources ${target} SOURCES)
    get_target_property(source_dir ${target} SOURCE_DIR)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    get_target_property(definitions ${target} COMPILE_DEFINITIONS)
    list(TRANSFORM sources PREPEND ${source_dir}/)
    add_executable(${name} ${sources})
    add_dependencies(${name} tw-glfw-static tw-xmp-static)
    target_link_libraries(${name} PRIVATE ${libraries})
    if(definitions)
        target_compile_definitions(${name} PRIVATE ${definitions})
    endif()
    # The C++ runtime inside; --as-needed drops glibc's empty stub libraries (libdl, libpthread)
    # and --gc-sections the unused std::random_device, whose arc4random needs glibc 2.36. The
    # static unwinder's _dl_find_object sets the floor at glibc 2.35.
    target_link_options(${name} PRIVATE -static-libstdc++ -static-libgcc LINKER:--as-needed
        LINKER:--gc-sections)
    set_target_properties(${name} PROPERTIES TW_PORTABLE ON
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/portable)
endfunction()
