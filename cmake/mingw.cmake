# Cross build for Windows with MinGW-w64 (posix thread model), for the processor that the
# including toolchain file sets in CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
set(kitwright_mingw ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${kitwright_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${kitwright_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${kitwright_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${kitwright_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine in the build folder's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
