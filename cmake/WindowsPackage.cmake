# The portable Windows zip. `cmake --install` puts in one folder what runs
# from anywhere on a Windows machine with nothing else installed: the two
# programs, their setting lists, the DLLs they load and the licences;
# `cpack -G ZIP` zips that folder (scripts/windows-build does both).

if(NOT ORDEVAN_QT_PREFIX)
    message(FATAL_ERROR "A Windows build needs ORDEVAN_QT_PREFIX, a MinGW Qt (scripts/windows-qt)")
endif()

install(TARGETS ordevan ordevanctl RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/DATA/ DESTINATION DATA)

# Loaded by Qt at run time, so no import names them: the window system, the
# native look of the controls and dialogs. The picture of any other screen
# scale than 100 % and 200 % is scaled from the built ones (pictures/).
install(FILES ${ORDEVAN_QT_PREFIX}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${ORDEVAN_QT_PREFIX}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
# Qt's own texts in Italian (file dialog, standard buttons): data files of
# Debian's Qt of the same version, which any platform reads.
install(FILES /usr/share/qt6/translations/qtbase_it.qm DESTINATION translations)

# The DLLs the programs and plug-ins import, and the DLLs those import, found
# in Qt's and MinGW's folders. A DLL found nowhere fails the install, unless
# it is part of Windows: MinGW has an import library for each of those.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE compiler_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE pthread_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(compiler_dir ${compiler_dll} DIRECTORY)
get_filename_component(pthread_dir ${pthread_dll} DIRECTORY)
find_program(ORDEVAN_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
set(ORDEVAN_WINDOWS_DLL_DIRS ${ORDEVAN_QT_PREFIX}/bin ${compiler_dir} ${pthread_dir})
set(ORDEVAN_WINDOWS_SYSTEM_LIBS /usr/x86_64-w64-mingw32/lib)
configure_file(${PROJECT_SOURCE_DIR}/cmake/InstallWindowsDlls.cmake.in
               ${PROJECT_BINARY_DIR}/InstallWindowsDlls.cmake @ONLY)
install(SCRIPT ${PROJECT_BINARY_DIR}/InstallWindowsDlls.cmake)

# The licences: ours, and Qt's (LGPL 3: the DLLs stay replaceable) with a
# note of the Debian source it was built from; MinGW's runtime licences.
file(GLOB qt_source ${ORDEVAN_QT_PREFIX}/qt6-base_*.dsc)
if(NOT qt_source)
    message(FATAL_ERROR "${ORDEVAN_QT_PREFIX} does not say which Qt source it was built from")
endif()
get_filename_component(qt_source "${qt_source}" NAME)
string(REGEX REPLACE "^qt6-base_(.*)\\.dsc$" "\\1" ORDEVAN_QT_SOURCE_VERSION "${qt_source}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/licences.txt.in
               ${PROJECT_BINARY_DIR}/licences/README.txt @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_BINARY_DIR}/licences/README.txt DESTINATION licences)
install(FILES /usr/share/doc/libqt6core6/copyright DESTINATION licences RENAME Qt-copyright.txt)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION licences RENAME LGPL-3.txt)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION licences RENAME GPL-3.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright
        DESTINATION licences RENAME MinGW-GCC-runtime-copyright.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright
        DESTINATION licences RENAME MinGW-w64-copyright.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ordevan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ordevan-${PROJECT_VERSION}-windows-x64)
# One folder in the zip, "Ordevan": unzipped into Program Files or anywhere.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
include(CPack)
