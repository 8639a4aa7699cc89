# zanth_compile_qml(<target> NAME <name> BASE <folder> FILES <path>...)
#
# Compiles the QML and JavaScript files among FILES (absolute paths below BASE, compiled into a resource
# tree with PREFIX "/" and that BASE) to byte code at build time and links the units into <target>, so
# that the QML engine takes them instead of parsing and compiling the files at start-up. A program
# always starts as fast as on its second run, without a disk cache (none exists on a first start).
# The units are found by their qrc path; a file loaded from disk is still compiled when it loads.
# Byte code only: it is what the engine would make from the file itself, so nothing behaves differently.
function(zanth_compile_qml target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;BASE" "FILES")
    if(TARGET Qt6::qmlcachegen)
        set(compiler $<TARGET_FILE:Qt6::qmlcachegen>)
    else()
        find_program(ZANTH_QMLCACHEGEN qmlcachegen HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS}
                     /usr/lib/qt6/libexec REQUIRED)
        set(compiler ${ZANTH_QMLCACHEGEN})
    endif()
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/qmlcache_${arg_NAME})
    set(units)
    set(paths)
    foreach(file ${arg_FILES})
        if(NOT file MATCHES "\\.(qml|js|mjs)$")
            continue()
        endif()
        file(RELATIVE_PATH relative ${arg_BASE} ${file})
        string(REGEX REPLACE "[^A-Za-z0-9_/]" "_" unit ${relative})
        set(unit ${folder}/${unit}.cpp)
        get_filename_component(unit_folder ${unit} DIRECTORY)
        add_custom_command(OUTPUT ${unit}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${unit_folder}
            COMMAND ${compiler} --bare --only-bytecode --resource-path /${relative} -o ${unit} ${file}
            DEPENDS ${file} ${compiler}
            COMMENT "Compiling /${relative} to QML byte code"
            VERBATIM)
        list(APPEND units ${unit})
        list(APPEND paths /${relative})
    endforeach()
    # The loader's name must end so: qmlcachegen writes the table of units for such an output file.
    set(loader ${folder}/${arg_NAME}_qmlcache_loader.cpp)
    set(list_file ${folder}/${arg_NAME}_units.rsp)
    string(REPLACE ";" "\n" list_text "${paths}")
    file(GENERATE OUTPUT ${list_file} CONTENT "${list_text}\n")
    add_custom_command(OUTPUT ${loader}
        COMMAND ${compiler} --resource-name qmlcache_${arg_NAME} -o ${loader} @${list_file}
        DEPENDS ${list_file} ${compiler}
        COMMENT "Writing the table of QML byte code units of ${arg_NAME}"
        VERBATIM)
    set_source_files_properties(${units} ${loader} PROPERTIES SKIP_AUTOGEN ON GENERATED TRUE)
    target_sources(${target} PRIVATE ${units} ${loader})
    target_link_libraries(${target} PRIVATE Qt6::QmlPrivate)
endfunction()
