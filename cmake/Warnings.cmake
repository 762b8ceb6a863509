# Compiler settings every Sparv target links: warnings, and the sanitizers when asked for.
add_library(sparv_options INTERFACE)
target_compile_options(sparv_options INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Woverloaded-virtual -Wimplicit-fallthrough -Wformat=2)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # g++ 12 reports overlapping copies and overflowing writes inside std::string and
    # std::vector at -O3 that cannot happen (known false positives of its -Wrestrict and
    # -Wstringop-overflow, gone in later versions).
    target_compile_options(sparv_options INTERFACE -Wno-restrict -Wno-stringop-overflow)
endif()
if(SPARV_WERROR)
    target_compile_options(sparv_options INTERFACE -Werror)
endif()
if(SPARV_SANITIZE)
    target_compile_options(sparv_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(sparv_options INTERFACE -fsanitize=address,undefined)
endif()
