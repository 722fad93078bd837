# The editor on X11, in the plain and the sanitized build: the Linux libraries' editors open in
# our own host (orx-edithost-x11) on a virtual X server that each run starts on a free display,
# driven with real input through XTEST from an input script, their captures compared with the
# headless editor in the same state, texts included (both draw them with FreeType and the same
# font). The test plug-in's editor first, then Orlantix's own (run from a copy beside its
# presets, where what it saves stays; each capture after a preset was loaded or saved names
# that preset, whose name the headless editor then shows too), then several editors at once.
if(TARGET orx-edithost-x11 AND TARGET orx_testeditor_x11)
    set(x11_checks /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/editor_x11_checks.py
                   --host $<TARGET_FILE:orx-edithost-x11>)
    set(x11_out ${CMAKE_CURRENT_BINARY_DIR}/x11)
    add_test(NAME editor_x11_test_editor
             COMMAND ${x11_checks} --plugin E=$<TARGET_FILE:orx_testeditor_x11>
                     --script ${CMAKE_CURRENT_LIST_DIR}/x11-test-editor.script
                     --out ${x11_out}/test-editor
                     --compare $<TARGET_FILE:orx-editor-compare> --with-text
                     --shot opened --shot entry --shot edited --shot reopened)
    add_test(NAME editor_x11_orlantix
             COMMAND ${x11_checks} --copy-library --plugin O=$<TARGET_FILE:orlantix>
                     --script ${CMAKE_CURRENT_LIST_DIR}/x11-orlantix.script
                     --out ${x11_out}/orlantix
                     --compare $<TARGET_FILE:orx-orlantix-compare> --with-text
                     --shot at-rest --shot entry --shot edited --shot texts --shot preset
                     --shot long-name --shot short-name --shot reopened
                     "--preset=preset=library/presets/Swung Groove.preset"
                     --preset=long-name=library/presets/wide-mixolydian-groove-with-jitter.preset
                     --preset=short-name=library/presets/mine.preset
                     --preset=reopened=library/presets/mine.preset)
    add_test(NAME editor_x11_two_instances
             COMMAND ${x11_checks} --copy-library
                     --plugin A=$<TARGET_FILE:orx_testeditor_x11>
                     --plugin B=$<TARGET_FILE:orx_testeditor_x11>
                     --plugin O=$<TARGET_FILE:orlantix>
                     --script ${CMAKE_CURRENT_LIST_DIR}/x11-two-instances.script
                     --out ${x11_out}/two-instances)
    set_tests_properties(editor_x11_test_editor editor_x11_orlantix editor_x11_two_instances
                         PROPERTIES LABELS e2e TIMEOUT 300)
endif()
