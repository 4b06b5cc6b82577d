# Cross build for Linux on 64-bit PowerPC, big-endian, with Debian's cross compiler (g++-powerpc64-linux-gnu,
# libc6-dev-ppc64-cross). Libraries built for the target are found under the sysroot and under the prefixes
# the caller adds to CMAKE_FIND_ROOT_PATH; the test programs run under qemu-ppc64 with the sysroot's loader.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ppc64)

set(TQ_TARGET_TRIPLE powerpc64-linux-gnu)
set(TQ_TARGET_SYSROOT /usr/${TQ_TARGET_TRIPLE})
set(CMAKE_C_COMPILER ${TQ_TARGET_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${TQ_TARGET_TRIPLE}-g++)

list(APPEND CMAKE_FIND_ROOT_PATH ${TQ_TARGET_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-ppc64 -L ${TQ_TARGET_SYSROOT})
