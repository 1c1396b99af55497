# toolkit_use_qt_pch(target)
# The window libraries share one precompiled header of the Qt Widgets
# headers they include; a file of theirs compiles in about 40% of the time
# (its compile is mostly the parsing of those headers). The header belongs
# to a library built with the same options as theirs, as a shared header is
# only used by compiles whose options match the ones it was made with.
function(toolkit_use_qt_pch target)
    if(NOT TARGET toolkit_qt_pch)
        add_library(toolkit_qt_pch STATIC ${PROJECT_SOURCE_DIR}/cmake/qt_pch.cpp)
        target_link_libraries(toolkit_qt_pch PRIVATE Qt6::Widgets)
        target_precompile_headers(toolkit_qt_pch PRIVATE ${TOOLKIT_QT_PCH_HEADERS})
    endif()
    target_precompile_headers(${target} REUSE_FROM toolkit_qt_pch)
endfunction()
