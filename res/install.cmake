# Desktop integration of the editor: its menu entry, the MIME types of .fml and .mel, and the
# application and document icons in the hicolor theme.
set(_res ${CMAKE_CURRENT_LIST_DIR})
set(_icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

install(FILES ${_res}/tinkla.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
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
