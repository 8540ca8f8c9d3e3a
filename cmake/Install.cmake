# Install rules: the two programs, the desktop entry, the application icon and the GEDCOM
# file type, under the usual prefixes (bin, share/applications, share/icons, share/mime).
include(GNUInstallDirs)

if(TARGET arbolix)
    install(TARGETS arbolix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(TARGET arbolix-cli)
        install(TARGETS arbolix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/arbolix.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/arbolix.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/arbolix-gedcom.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()
