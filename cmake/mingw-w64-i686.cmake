# 32-bit Windows, the host's own platform: qmr.dll and the test suite,
# cross-built with mingw-w64.  The tests run under 32-bit wine through
# cmake/wine-run.
#
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR X86)
set(QMR_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# SSE2 arithmetic instead of the x87 unit, as on every other target.  The
# host's code may call with a stack aligned to 4 bytes only, so the
# exported functions realign it where they need more.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run win32)
