# toolkit_program_data(TARGET name FILES file... [DESTINATION dir])
# Copies shipped data files beside the programs in the build tree (so they
# find them in their own folder) under the target `name`, built by default,
# and installs them to DESTINATION (share/crateward unless told), where the
# installed programs look next (common/program_paths).
function(toolkit_program_data)
    cmake_parse_arguments(D "" "TARGET;DESTINATION" "FILES" ${ARGN})
    if(NOT D_DESTINATION)
        set(D_DESTINATION share/crateward)
    endif()
    set(copies "")
    foreach(file ${D_FILES})
        get_filename_component(name ${file} NAME)
        set(copy ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${name})
        add_custom_command(OUTPUT ${copy}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${file} ${copy}
            DEPENDS ${file})
        list(APPEND copies ${copy})
    endforeach()
    add_custom_target(${D_TARGET} ALL DEPENDS ${copies})
    install(FILES ${D_FILES} DESTINATION ${D_DESTINATION})
endfunction()
