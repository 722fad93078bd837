# What a test of a Windows build under wine needs to know, for bits 64 or 32: the build folder
# (windows_build), the fixtures it waits for (the prefix; the 32-bit runs also the WoW64 probe)
# and the flag that tells the test scripts to run the 32-bit way (wow64).
macro(orx_wine_bits bits)
    set(windows_build ${ORX_WIN${bits}_BUILD_DIR})
    set(fixtures wine_prefix)
    set(wow64 "")
    if(${bits} EQUAL 32)
        set(fixtures "wine_prefix;wow64")
        set(wow64 --wow64)
    endif()
endmacro()
