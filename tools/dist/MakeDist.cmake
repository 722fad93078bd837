# Writes the release packages from the libraries of three builds (cmake -P, see CMakeLists.txt):
#   <dist>/Orlantix-<version>-windows.zip        Orlantix32.dll, Orlantix64.dll
#   <dist>/Orlantix-<version>-linux-x86_64.tar.gz Orlantix.so and the LV2 bundle Orlantix.lv2/
# each in one folder with the factory presets, Orlantix.ini and README.txt, so the libraries
# find their presets beside themselves wherever the folder is copied.
foreach(var ORX_VERSION ORX_SOURCE_DIR ORX_LINUX_DIR ORX_WIN32_DIR ORX_WIN64_DIR ORX_DIST_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "MakeDist.cmake needs -D${var}=...")
    endif()
endforeach()

# orx_package(<name> <format> <newline style of README.txt> <readme template> <preset dir:library>...)
function(orx_package name format newlines readme)
    set(stage ${ORX_DIST_DIR}/stage)
    set(root ${stage}/${name})
    file(REMOVE_RECURSE ${root})
    file(MAKE_DIRECTORY ${root})
    foreach(entry IN LISTS ARGN)
        string(REPLACE ":" ";" entry ${entry})
        list(GET entry 0 preset)
        list(GET entry 1 library)
        set(build_dir ${ORX_${preset}_DIR})
        set(file ${build_dir}/release/${library})
        if(NOT EXISTS ${file})
            # The presets build into build/<preset>.
            get_filename_component(lower ${build_dir} NAME)
            message(FATAL_ERROR "${file} is missing: build the ${lower} preset first "
                                "(cmake --build --preset ${lower})")
        endif()
        # A folder (the LV2 bundle) is copied whole.
        file(COPY ${file} DESTINATION ${root})
    endforeach()
    file(COPY ${ORX_SOURCE_DIR}/presets DESTINATION ${root})
    file(COPY ${ORX_SOURCE_DIR}/resources/Orlantix.ini DESTINATION ${root})
    set(VERSION ${ORX_VERSION})
    configure_file(${readme} ${root}/README.txt @ONLY NEWLINE_STYLE ${newlines})

    set(archive ${ORX_DIST_DIR}/${name}.${format})
    file(REMOVE ${archive})
    if(format STREQUAL "zip")
        set(flags cf ${archive} --format=zip)
    else()
        set(flags czf ${archive})
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar ${flags} ${name}
                    WORKING_DIRECTORY ${stage} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "could not write ${archive}")
    endif()
    file(REMOVE_RECURSE ${root})
    message(STATUS "wrote ${archive}")
endfunction()

set(templates ${CMAKE_CURRENT_LIST_DIR})
orx_package(Orlantix-${ORX_VERSION}-windows zip CRLF ${templates}/README-windows.txt.in
            WIN32:Orlantix32.dll WIN64:Orlantix64.dll)
orx_package(Orlantix-${ORX_VERSION}-linux-x86_64 tar.gz UNIX ${templates}/README-linux.txt.in
            LINUX:Orlantix.so LINUX:Orlantix.lv2)
file(REMOVE_RECURSE ${ORX_DIST_DIR}/stage)
