# Compile and link settings that every target of the project takes by linking tarven_options.
add_library(tarven_options INTERFACE)
target_compile_options(tarven_options INTERFACE -Wall -Wextra)

if(TARVEN_SANITIZE)
    target_compile_options(tarven_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(tarven_options INTERFACE -fsanitize=address,undefined)
endif()

if(TARVEN_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "The fuzz targets need clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    target_compile_options(tarven_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
