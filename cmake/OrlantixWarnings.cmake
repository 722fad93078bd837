# Warnings as errors for our own targets; third-party code is built without this.
function(orx_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Sanitizer flags for the instrumented preset (ORX_SANITIZE=ON), applied to our targets only.
function(orx_sanitize target)
    if(ORX_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all
                                                 -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(ORX_TSAN)
        target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=thread)
    endif()
    # Coverage feedback for the fuzz targets comes from the code they call, not just their own.
    if(ORX_FUZZ)
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()

# Everything a target of ours needs: warnings and, in the instrumented preset, sanitizers.
function(orx_target target)
    orx_warnings(${target})
    orx_sanitize(${target})
endfunction()
