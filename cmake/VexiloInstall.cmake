# `cmake --install`: the programs in bin/, the bundled glyph sets and the help page in
# share/vexilo/, and what a desktop needs to show the program (desktop file, metadata, icons,
# manual pages).

# Every program a user runs; another command-line tool is one more name here.
set(VEXILO_PROGRAMS vexilo vexilo-render vexilo-glyphs)
install(TARGETS ${VEXILO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(vexilo_share ${CMAKE_INSTALL_DATADIR}/vexilo)
# The bundled glyph sets are installed where glyphs/ draws them.
install(FILES "resources/Справка.html" DESTINATION ${vexilo_share})

install(FILES resources/${VEXILO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/${VEXILO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN ITEMS 16 32 48 256)
    install(FILES resources/vexilo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${VEXILO_APP_ID}.png)
endforeach()
install(FILES resources/man/vexilo.1 resources/man/vexilo-render.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
