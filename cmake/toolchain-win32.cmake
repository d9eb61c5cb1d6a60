# i686-w64-mingw32: the shipped 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_TRIPLET i686-w64-mingw32)
set(WINE_BITS 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
