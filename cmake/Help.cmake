# The user guide: docs/aide, installed under share/arbolix/aide and copied to the same place of
# the build tree (build/share/arbolix/aide), where the programs built in build/src find it the way
# installed ones find theirs (bin/../share/arbolix/aide).
include(GNUInstallDirs)

set(ARBOLIX_HELP_SOURCE ${PROJECT_SOURCE_DIR}/docs/aide)
set(ARBOLIX_HELP_BUILD ${PROJECT_BINARY_DIR}/share/arbolix/aide)
file(GLOB_RECURSE ARBOLIX_HELP_FILES CONFIGURE_DEPENDS ${ARBOLIX_HELP_SOURCE}/*)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/share/arbolix/aide.stamp
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ARBOLIX_HELP_BUILD}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${ARBOLIX_HELP_SOURCE} ${ARBOLIX_HELP_BUILD}
    COMMAND ${CMAKE_COMMAND} -E touch ${PROJECT_BINARY_DIR}/share/arbolix/aide.stamp
    DEPENDS ${ARBOLIX_HELP_FILES}
    COMMENT "Copying the user guide")
add_custom_target(arbolix_help ALL DEPENDS ${PROJECT_BINARY_DIR}/share/arbolix/aide.stamp)

install(DIRECTORY ${ARBOLIX_HELP_SOURCE}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/arbolix/aide
        COMPONENT help)
if(TARGET arbolix)
    add_dependencies(arbolix arbolix_help)
endif()
