# Shared part of the Windows toolchains (mingw-w64, POSIX thread model).
# Expects QMR_MINGW_TRIPLET.  Everything the programs need from the
# compiler's run-time (libgcc, libstdc++, winpthread) is linked statically,
# so qmr.dll and the test programs depend on system DLLs only.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${QMR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QMR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QMR_MINGW_TRIPLET}-windres)
set(CMAKE_OBJDUMP ${QMR_MINGW_TRIPLET}-objdump CACHE FILEPATH "objdump that reads PE export tables")
set(CMAKE_DLLTOOL ${QMR_MINGW_TRIPLET}-dlltool CACHE FILEPATH "dlltool that writes import libraries")

set(CMAKE_FIND_ROOT_PATH /usr/${QMR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
