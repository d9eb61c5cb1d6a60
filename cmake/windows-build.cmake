# A mingw-w64 cross build: the setup program, the demo product it carries,
# and the Windows-side tests, run under Wine through scripts/wine-run.
# The host tools come ready-built from the host build (HOST_BUILD_DIR):
# they are never built here.
enable_language(RC)

set(HOST_BUILD_DIR "" CACHE PATH "The host build folder, which holds packset and draw_assets")
if(NOT HOST_BUILD_DIR)
  message(FATAL_ERROR "Set HOST_BUILD_DIR to the host build folder (the Makefile does).")
endif()
set(PACKSET ${HOST_BUILD_DIR}/packset)
set(DRAW_ASSETS ${HOST_BUILD_DIR}/draw_assets)

# Two clean builds must give the same bytes: no link time stamp, no build
# folder in the output. Everything links statically, so the executables
# import system DLLs only.
add_compile_options(-Wall -Wextra
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}=src -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
set(WINDOWS_LINK_FLAGS "-static -static-libgcc -static-libstdc++ -s -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} ${WINDOWS_LINK_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS} ${WINDOWS_LINK_FLAGS}")

# The program itself uses neither exceptions nor RTTI and is built for size.
set(PROGRAM_COMPILE_OPTIONS -Os -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections)
set(PROGRAM_LINK_OPTIONS -Wl,--gc-sections)

# Every Windows executable a test runs goes through Wine in this build's own
# prefix (see scripts/wine-session for how a test run sets it up).
set(WINE_STATE_DIR ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run ${WINE_STATE_DIR} ${WINE_BITS})

include(cmake/googletest.cmake)

add_subdirectory(package)
add_subdirectory(setup)
add_subdirectory(install)
add_subdirectory(payload)
add_subdirectory(resources)
add_subdirectory(app)
add_subdirectory(tests/win)
add_subdirectory(tests/e2e)
add_subdirectory(bench)
