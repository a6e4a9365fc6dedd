# libxmp compiled from Debian's source package (unpacked by web/build.sh into the build folder,
# never kept in the repository): the same version the desktop build links, with its own lists of
# sources, since its configure script cannot run under the WebAssembly compiler.
# The loaders for packed and ProWizard formats are left out (LIBXMP_NO_*): they only unpack other
# formats before loading, and the module here is a plain XM file.

if(NOT EXISTS ${TW_LIBXMP_DIR}/include/xmp.h)
    message(FATAL_ERROR "libxmp sources not found in ${TW_LIBXMP_DIR} (web/build.sh fetches them)")
endif()

# The objects named by `variable` in one of libxmp's Makefiles, as C sources of that folder.
function(tw_libxmp_sources makefile variable out)
    file(READ ${TW_LIBXMP_DIR}/${makefile} text)
    string(REGEX MATCH "${variable}[ \t]*=([^\n]*\\\\\n)*[^\n]*" list "${text}")
    string(REGEX MATCHALL "[A-Za-z0-9_]+\\.o" objects "${list}")
    get_filename_component(folder ${TW_LIBXMP_DIR}/${makefile} DIRECTORY)
    set(sources)
    foreach(object ${objects})
        string(REGEX REPLACE "\\.o$" ".c" source ${object})
        list(APPEND sources ${folder}/${source})
    endforeach()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

tw_libxmp_sources(src/Makefile SRC_OBJS core)
tw_libxmp_sources(src/loaders/Makefile LOADERS_OBJS loaders)
tw_libxmp_sources(src/loaders/Makefile LOADERS loader_formats)
add_library(xmp STATIC ${core} ${loaders} ${loader_formats})
list(LENGTH core core_count)
if(core_count LESS 20)
    message(FATAL_ERROR "libxmp: the source list in src/Makefile was not understood")
endif()
target_include_directories(xmp PUBLIC ${TW_LIBXMP_DIR}/include PRIVATE ${TW_LIBXMP_DIR}/src)
target_compile_definitions(xmp PRIVATE BUILDING_STATIC LIBXMP_NO_PROWIZARD LIBXMP_NO_DEPACKERS
    _REENTRANT)
# Its header's Emscripten branch would include emscripten.h inside extern "C" (which C++ rejects)
# and keep every function alive; the plain visibility branch is all this build needs.
target_compile_definitions(xmp PUBLIC XMP_SYM_VISIBILITY)
target_compile_options(xmp PRIVATE -w)
