# 32-bit x86 Linux with the host's g++ and -m32 (g++-multilib).  The
# tests run under qemu-i386, since the build machine's kernel may not run
# 32-bit programs itself.
#
#   cmake -S . -B build-i386 -DCMAKE_TOOLCHAIN_FILE=cmake/i386-linux.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# SSE2 arithmetic instead of the x87 unit: doubles round exactly as they
# do on x86-64, so floating-point results are the same on every target.
# A 64-bit time_t, so that the clock reads past 2038 as elsewhere.
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

# Tests under qemu are several times slower: QMR_EMULATED (see
# tests/CMakeLists.txt) lets the stress test do fewer rounds.
set(QMR_EMULATED_CPU ON)
find_program(QMR_QEMU_I386 qemu-i386)
if(QMR_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QMR_QEMU_I386})
endif()
