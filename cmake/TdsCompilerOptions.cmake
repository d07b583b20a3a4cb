# Project-wide warnings and sanitizers, applied to every target through tds_target_defaults().
add_library(tds_compiler_options INTERFACE)
target_compile_options(tds_compiler_options INTERFACE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
if(TDS_WARNINGS_AS_ERRORS)
    target_compile_options(tds_compiler_options INTERFACE -Werror)
endif()

if(TDS_SANITIZE)
    string(REPLACE ";" "," tds_sanitizers "${TDS_SANITIZE}")
    add_compile_options(-fsanitize=${tds_sanitizers} -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${tds_sanitizers})
    if("undefined" IN_LIST TDS_SANITIZE)
        # Undefined behaviour fails the test that meets it instead of scrolling past in its output.
        add_compile_options(-fno-sanitize-recover=undefined)
    endif()
endif()

function(tds_target_defaults target)
    target_link_libraries(${target} PRIVATE tds_compiler_options)
endfunction()
