# Desktop integration of the editor: its menu entry and software-centre entry, the MIME types of
# .fml and .mel, the application and document icons in the hicolor theme; the man pages, the
# bash completion of tinkla-cli, and the udev rule that opens the parallel ports and the PC
# speaker to their groups.
set(_res ${CMAKE_CURRENT_LIST_DIR})
set(_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(FILES ${_res}/org.example.Tinkla.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_res}/org.example.Tinkla.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_res}/tinkla-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME tinkla.xml)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${_res}/icons/tinkla-${size}.png
            DESTINATION ${_icons}/${size}x${size}/apps RENAME tinkla.png)
    foreach(type set melody)
        install(FILES ${_res}/icons/tinkla-document-${size}.png
                DESTINATION ${_icons}/${size}x${size}/mimetypes
                RENAME application-x-tinkla-${type}.png)
    endforeach()
endforeach()
install(DIRECTORY ${_res}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tinkla/examples
        FILES_MATCHING PATTERN "*.fml")
install(FILES ${_res}/icons/tinkla.svg DESTINATION ${_icons}/scalable/apps)
foreach(type set melody)
    install(FILES ${_res}/icons/tinkla-document.svg DESTINATION ${_icons}/scalable/mimetypes
            RENAME application-x-tinkla-${type}.svg)
endforeach()

# Compressed as Debian's tools compress: -n keeps the name and time out, so that the same file
# always gives the same bytes.
function(tinkla_gzip source output)
    get_filename_component(_dir ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_dir}
        COMMAND gzip -9n -c ${source} > ${output}
        DEPENDS ${source} VERBATIM)
endfunction()

set(_man_pages)
foreach(page tinkla.1 tinkla-cli.1)
    tinkla_gzip(${_res}/man/${page} ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
    list(APPEND _man_pages ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(tinkla_man_pages ALL DEPENDS ${_man_pages})
install(FILES ${_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_res}/completion/tinkla-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
# udev reads /usr/lib/udev/rules.d (never a multiarch library folder), so the path is literal.
install(FILES ${_res}/udev/60-tinkla.rules DESTINATION lib/udev/rules.d)

# A direct install into a live system refreshes the desktop's caches; package builds (DESTDIR)
# leave that to the package's own triggers.
install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        set(_share \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")
        find_program(_update_mime update-mime-database)
        find_program(_update_desktop update-desktop-database)
        find_program(_update_icons gtk-update-icon-cache)
        if(_update_mime)
            execute_process(COMMAND \${_update_mime} \"\${_share}/mime\")
        endif()
        if(_update_desktop)
            execute_process(COMMAND \${_update_desktop} \"\${_share}/applications\")
        endif()
        if(_update_icons)
            execute_process(COMMAND \${_update_icons} -q -t \"\${_share}/icons/hicolor\")
        endif()
    endif()
")
