# Cross build for 64-bit Windows with MinGW-w64. The shipped program is the 32-bit one;
# this build runs the tests where 32-bit programs cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PAKVANE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
