# The host build: the packing and asset tools the cross builds call, and the
# tests that run natively (the format reader, packset, and the checks of the
# built executables with independent tools).
add_compile_options(-Wall -Wextra)

# The fuzzing build (clang, FUZZING=ON): the readers with coverage and
# sanitizers, and the fuzz targets over them; nothing else.
option(FUZZING "Build the libFuzzer targets instead of the host tools and tests" OFF)
if(FUZZING)
  add_compile_options(-g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  add_subdirectory(package)
  add_library(pe_resource STATIC tools/pe_resource.cpp)
  target_include_directories(pe_resource PUBLIC tools)
  add_subdirectory(fuzz)
  return()
endif()

include(cmake/googletest.cmake)

add_subdirectory(package)
add_subdirectory(tools)
add_subdirectory(tests/host)
