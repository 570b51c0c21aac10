# Cross-compiles the desktop Windows programs with mingw-w64 (64-bit).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARVEL_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix thread model: the core's std::thread and std::mutex need winpthreads;
# the win32 model of g++ 12 has neither.
find_program(CMAKE_C_COMPILER NAMES ${QUARVEL_MINGW_TRIPLET}-gcc-posix ${QUARVEL_MINGW_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${QUARVEL_MINGW_TRIPLET}-g++-posix ${QUARVEL_MINGW_TRIPLET}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QUARVEL_MINGW_TRIPLET}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${QUARVEL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wide-character Win32 everywhere; programs start at wWinMain.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
# One self-contained .exe each: no libgcc, libstdc++ or winpthread DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The cross-built programs run under Wine on the build machine.
find_program(QUARVEL_WINE NAMES wine)
if(QUARVEL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUARVEL_WINE})
endif()
