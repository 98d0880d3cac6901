# Compile and link settings that every target of the project takes by linking tarven_options.
add_library(tarven_options INTERFACE)
target_compile_options(tarven_options INTERFACE -Wall -Wextra)

if(TARVEN_STRICT_WARNINGS)
    target_compile_options(tarven_options INTERFACE
        -Werror -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wimplicit-fallthrough)
endif()

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

# tarven_optimise_fully(<target>...): -O3 and link-time optimisation in every optimised build
# type, so that a RelWithDebInfo build runs scripts as fast as the benchmark (Release) build.
function(tarven_optimise_fully)
    foreach(target IN LISTS ARGN)
        target_compile_options(${target} PRIVATE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-O3>)
        # The link-time optimiser takes its level from the link line.
        target_link_options(${target} PRIVATE $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-O3>)
        set_target_properties(${target} PROPERTIES
            INTERPROCEDURAL_OPTIMIZATION_RELEASE ON
            INTERPROCEDURAL_OPTIMIZATION_RELWITHDEBINFO ON
            INTERPROCEDURAL_OPTIMIZATION_MINSIZEREL ON)
    endforeach()
endfunction()
