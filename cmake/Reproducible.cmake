# Builds repeat byte for byte whichever folders they run in: the source and build folders are
# written relatively in debug information, __FILE__ and the assembler's records. The build
# folder is named second since GCC tries the last mapping first, and it may lie inside the
# source folder.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
