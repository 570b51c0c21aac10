# What `cmake --install` puts under the prefix on Linux: the programs, their manual
# pages, desktop entries, icons, AppStream data, and the marker that makes the
# installed programs keep each user's settings in the user's own folder.
include(GNUInstallDirs)

install(TARGETS quarvel quarvel-config quarvel-decode RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(page quarvel quarvel-config quarvel-decode)
  configure_file(docs/man/${page}.1.in ${PROJECT_BINARY_DIR}/man/${page}.1 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES packaging/linux/org.quarvel.Quarvel.desktop
              packaging/linux/org.quarvel.QuarvelConfig.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
configure_file(packaging/linux/org.quarvel.Quarvel.metainfo.xml
  ${PROJECT_BINARY_DIR}/org.quarvel.Quarvel.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/org.quarvel.Quarvel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/per-user-settings DESTINATION ${CMAKE_INSTALL_DATADIR}/quarvel)
