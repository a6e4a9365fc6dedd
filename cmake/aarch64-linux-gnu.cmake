# Cross build for 64-bit ARM Linux with Debian's cross compiler (crossbuild-essential-arm64),
# against Debian's arm64 libraries installed beside the host's (multiarch). The build-time
# generators are arm64 programs too; qemu runs them, as it runs the arm64 tests.
# Usage: cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
# pkg-config reads the arm64 packages' files only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
# Libraries and headers of the target only; programs (ffmpeg, gzip) of the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
