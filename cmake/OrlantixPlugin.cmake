# orx_add_vst_plugin(target OUTPUT_NAME <name> SOURCES ... [LIBS ...])
#
# Builds a VST 2 plug-in library for the current platform from the given sources (which supply
# MakePlugInstance) and the framework's entry point: no "lib" prefix, only VSTPluginMain and
# main exported, and on Windows no runtime DLLs beside it (the C and C++ runtimes are linked
# statically by the top-level options).
set(ORX_PLUG_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../framework/plug)

function(orx_add_vst_plugin target)
    cmake_parse_arguments(P "" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
    if(NOT P_OUTPUT_NAME)
        set(P_OUTPUT_NAME ${target})
    endif()
    add_library(${target} MODULE
        ${P_SOURCES}
        ${ORX_PLUG_SOURCE_DIR}/VstEntry.cpp
        ${ORX_PLUG_SOURCE_DIR}/VstEntry_${ORX_PLATFORM}.cpp)
    target_link_libraries(${target} PRIVATE ${P_LIBS} orlantix_plug orlantix_module)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${P_OUTPUT_NAME})
    if(WIN32)
        # The definition file names the exports, undecorated, and hides everything else.
        target_sources(${target} PRIVATE ${ORX_PLUG_SOURCE_DIR}/VstExports.def)
    else()
        set(map ${ORX_PLUG_SOURCE_DIR}/VstExports.map)
        target_link_options(${target} PRIVATE -Wl,--version-script=${map})
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
        if(NOT ORX_SANITIZE AND NOT ORX_TSAN)
            # A plug-in must resolve everything itself; the sanitizer runtime comes from the
            # host program, so the check is off there.
            target_link_options(${target} PRIVATE -Wl,--no-undefined)
        endif()
    endif()
    orx_target(${target})
endfunction()

# orx_add_lv2_plugin(target BUNDLE <folder> OUTPUT_NAME <name> SOURCES ... [LIBS ...])
#
# Builds an LV2 plug-in library, with its X11 user interface, into the bundle folder from the
# given sources (which supply MakePlugInstance and Lv2PluginUri) and the framework's entries:
# only lv2_descriptor and lv2ui_descriptor exported. The bundle's description is written by
# whoever knows the plug-in (src/CMakeLists.txt).
function(orx_add_lv2_plugin target)
    cmake_parse_arguments(P "" "BUNDLE;OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
    add_library(${target} MODULE
        ${P_SOURCES}
        ${ORX_PLUG_SOURCE_DIR}/Lv2Entry.cpp
        ${ORX_PLUG_SOURCE_DIR}/Lv2Exports.cpp
        ${ORX_PLUG_SOURCE_DIR}/Lv2Ui.cpp)
    target_link_libraries(${target} PRIVATE ${P_LIBS} orlantix_plug_lv2 orlantix_module)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${P_OUTPUT_NAME}
                          LIBRARY_OUTPUT_DIRECTORY ${P_BUNDLE})
    set(map ${ORX_PLUG_SOURCE_DIR}/Lv2Exports.map)
    target_link_options(${target} PRIVATE -Wl,--version-script=${map})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
    if(NOT ORX_SANITIZE AND NOT ORX_TSAN)
        target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
    orx_target(${target})
endfunction()
