# x86_64-w64-mingw32: the same program, and the build the Windows-side tests
# run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(WINE_BITS 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
