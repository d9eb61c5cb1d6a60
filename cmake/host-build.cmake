# The host build: the packing and asset tools the cross builds call, and the
# tests that run natively (the format reader, packset, and the checks of the
# built executables with independent tools).
add_compile_options(-Wall -Wextra)
include(cmake/googletest.cmake)

add_subdirectory(package)
add_subdirectory(tools)
add_subdirectory(tests/host)
