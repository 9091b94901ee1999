# What `cmake --install` puts where, and the Debian package CPack makes of it
# (`cpack -G DEB` in the build folder).

# The window and ordevanctl find their setting lists beside them (DATA), or,
# as installed here, in ../share/ordevan/DATA: these two places are fixed.
install(TARGETS ordevan ordevanctl RUNTIME DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/DATA/ DESTINATION share/ordevan/DATA)

if(NOT UNIX OR APPLE)
    return()
endif()

# The desktop's view of it: an entry for the application menu, its icon,
# AppStream metadata for software centres, manual pages, the licence.
include(GNUInstallDirs)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
set(generated ${PROJECT_BINARY_DIR}/packaging)

configure_file(${packaging}/ordevan.desktop.in ${generated}/${ORDEVAN_APP_ID}.desktop @ONLY)
configure_file(${packaging}/ordevan.metainfo.xml.in
               ${generated}/${ORDEVAN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated}/${ORDEVAN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${generated}/${ORDEVAN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/images/window-icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${ORDEVAN_APP_ID}.svg)

# Manual pages and the changelog, compressed as Debian ships them.
function(ordevan_gzip source compressed)
    add_custom_command(OUTPUT ${compressed}
        COMMAND gzip -9 -n -c ${source} > ${compressed}
        DEPENDS ${source}
        VERBATIM)
endfunction()
set(manuals)
foreach(page ordevan ordevanctl)
    configure_file(${packaging}/${page}.1.in ${generated}/${page}.1 @ONLY)
    ordevan_gzip(${generated}/${page}.1 ${generated}/${page}.1.gz)
    list(APPEND manuals ${generated}/${page}.1.gz)
endforeach()
file(STRINGS ${packaging}/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^ordevan \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog starts with no entry for ${PROJECT_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${packaging}/changelog)
ordevan_gzip(${packaging}/changelog ${generated}/changelog.gz)
add_custom_target(ordevan_docs ALL DEPENDS ${manuals} ${generated}/changelog.gz)
install(FILES ${manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The licence as a Debian copyright file (the MIT licence is "Expat" there):
# its terms, indented, with "." for an empty line.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
string(REGEX REPLACE "^[^\n]*\n\n[^\n]*\n\n" "" terms "${licence}") # title and notice
string(STRIP "${terms}" terms)
string(REPLACE "\n\n" "\n.\n" terms "${terms}")
string(REPLACE "\n" "\n " terms " ${terms}")
set(ORDEVAN_LICENSE_TERMS "${terms}")
configure_file(${packaging}/copyright.in ${generated}/copyright @ONLY)
install(FILES ${generated}/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ordevan)
