# Run by `cmake --install` (and CPack): fills in the shared folder of the prefix being installed
# into, compresses the pages as Debian wants them and installs them into man1/.
set(VEXILO_SHARED_DIR "${CMAKE_INSTALL_PREFIX}/${vexilo_datadir}/vexilo")
string(MD5 vexilo_prefix_key "${CMAKE_INSTALL_PREFIX}")
set(vexilo_man_out "${vexilo_man_pages}/installed-${vexilo_prefix_key}")
foreach(page IN ITEMS vexilo vexilo-render vexilo-glyphs)
    configure_file("${vexilo_man_pages}/${page}.1" "${vexilo_man_out}/${page}.1" @ONLY)
    execute_process(COMMAND gzip -9nf "${vexilo_man_out}/${page}.1" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip could not compress ${page}.1")
    endif()
    file(INSTALL "${vexilo_man_out}/${page}.1.gz"
         DESTINATION "${CMAKE_INSTALL_PREFIX}/${vexilo_mandir}/man1")
endforeach()
