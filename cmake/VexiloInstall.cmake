# `cmake --install`: the programs in bin/, the bundled glyph sets and the help page in
# share/vexilo/, and what a desktop needs to show the program (desktop file, metadata, icons,
# manual pages).

# Every folder the install makes is readable by every user, whatever the umask of the one who
# installs or packages.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Every program a user runs; another command-line tool is one more name here.
set(VEXILO_PROGRAMS vexilo vexilo-render vexilo-glyphs)
install(TARGETS ${VEXILO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The SVG loader is started by the programs, never by a user.
install(TARGETS vexilo-svgloader RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/vexilo)

set(vexilo_share ${CMAKE_INSTALL_DATADIR}/vexilo)
# The bundled glyph sets are installed where glyphs/ draws them.
install(FILES "${VEXILO_APP_DIR}/Справка.html" DESTINATION ${vexilo_share})

install(FILES resources/${VEXILO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/resources/${VEXILO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN ITEMS 16 32 48 256)
    install(FILES resources/vexilo-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${VEXILO_APP_ID}.png)
endforeach()
set(vexilo_built ${PROJECT_BINARY_DIR}/resources)
# The manual pages name the shared folder of the prefix they are installed into.
install(CODE "set(vexilo_man_pages \"${vexilo_built}/man\")
              set(vexilo_datadir \"${CMAKE_INSTALL_DATADIR}\")
              set(vexilo_mandir \"${CMAKE_INSTALL_MANDIR}\")")
install(SCRIPT cmake/InstallManPages.cmake)

# The licence and the release notes, where Debian looks for them.
set(vexilo_doc ${CMAKE_INSTALL_DATADIR}/doc/vexilo)
install(FILES resources/copyright ${vexilo_built}/changelog.gz ${vexilo_built}/NEWS.gz
        DESTINATION ${vexilo_doc})
