# What both MinGW-w64 cross builds share; the toolchain files set PAKVANE_MINGW_TRIPLE and
# CMAKE_SYSTEM_PROCESSOR, then include this. Posix threads, fully static.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${PAKVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAKVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${PAKVANE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PAKVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Test executables run under Wine; the test scripts set up the prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh")
