# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the program for the desktop: the executable, the manual that Help finds from the
# executable's folder, a menu entry, the icon in every size, the AppStream metadata for
# software centres, a manual page, and the copyright file and changelog a Debian package
# carries.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH VASHTEM_SOURCE_ROOT)
set(VASHTEM_PACKAGING_DIR ${VASHTEM_SOURCE_ROOT}/packaging)
# CMAKE_INSTALL_DOCDIR is named after the project, "Vashtem"; the package is "vashtem".
set(VASHTEM_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vashtem)
set(VASHTEM_MAINTAINER "Vashtem maintainers <maintainers@users.noreply.c-seed-86d2d654.example>"
    CACHE STRING "Name and address of the package's maintainer")

install(TARGETS vashtem RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES "${VASHTEM_SOURCE_ROOT}/docs/説明書.html" DESTINATION ${VASHTEM_DATA_DIR})
# The screenshot is made from a running program, so a fresh checkout may lack it.
install(FILES "${VASHTEM_SOURCE_ROOT}/docs/screenshot.png" DESTINATION ${VASHTEM_DATA_DIR} OPTIONAL)

# The entry starts the program by its full path, so that a prefix outside PATH works too,
# in the user's home folder (no Path: the first folder shown is the working folder). The
# entry's id is the program's desktop file name, and StartupWMClass the window's class.
# The prefix may change after configuring (cmake --install --prefix), so the installed
# entry is made at install time; the one made now is what the test validates.
set(VASHTEM_DESKTOP_TEMPLATE "${VASHTEM_PACKAGING_DIR}/${VASHTEM_DESKTOP_ID}.desktop.in")
set(VASHTEM_DESKTOP_FILE ${CMAKE_CURRENT_BINARY_DIR}/${VASHTEM_DESKTOP_ID}.desktop)
configure_file(${VASHTEM_DESKTOP_TEMPLATE} ${VASHTEM_DESKTOP_FILE} @ONLY)
set(VASHTEM_INSTALLED_DESKTOP_FILE ${CMAKE_CURRENT_BINARY_DIR}/install/${VASHTEM_DESKTOP_ID}.desktop)
install(CODE "
    set(VASHTEM_DESKTOP_ID ${VASHTEM_DESKTOP_ID})
    set(CMAKE_INSTALL_FULL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_FULL_BINDIR BASE_DIRECTORY \"\${CMAKE_INSTALL_PREFIX}\" NORMALIZE)
    configure_file(\"${VASHTEM_DESKTOP_TEMPLATE}\" \"${VASHTEM_INSTALLED_DESKTOP_FILE}\" @ONLY)
")
install(FILES ${VASHTEM_INSTALLED_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# 16 and 32 pixels are drawn by hand, the larger sizes rendered from the vector picture.
foreach(size IN ITEMS 16 32 48 64 128 256)
    install(FILES "${VASHTEM_PACKAGING_DIR}/icons/${size}x${size}/${VASHTEM_DESKTOP_ID}.png"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES "${VASHTEM_PACKAGING_DIR}/icons/${VASHTEM_DESKTOP_ID}.svg"
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(VASHTEM_METAINFO_FILE "${VASHTEM_PACKAGING_DIR}/${VASHTEM_DESKTOP_ID}.metainfo.xml")
install(FILES ${VASHTEM_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Writes a packaging file from its template without the leading "#" lines, which are
# notes for whoever edits the template, replacing @VARIABLES@.
function(vashtem_configure_without_notes template output)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${template})
    file(READ ${template} content)
    string(REGEX REPLACE "^(#[^\n]*\n)+" "" content "${content}")
    file(CONFIGURE OUTPUT ${output} CONTENT "${content}" @ONLY)
endfunction()

# The copyright file names the licence and quotes its notice, taken from LICENSE, as the
# body of the licence's paragraph: indented by one space, blank lines written as " .".
set(VASHTEM_LICENSE ${VASHTEM_SOURCE_ROOT}/LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VASHTEM_LICENSE})
file(READ ${VASHTEM_LICENSE} VASHTEM_LICENSE_TEXT)
string(REGEX MATCH "This program is free software: [^<]*<https://www\\.gnu\\.org/licenses/>\\."
    VASHTEM_LICENSE_NOTICE "${VASHTEM_LICENSE_TEXT}")
if(NOT VASHTEM_LICENSE_NOTICE)
    message(FATAL_ERROR "${VASHTEM_LICENSE} lacks the notice of the GNU GPL version 3")
endif()
string(REGEX REPLACE "\n[ ]*" "\n " VASHTEM_LICENSE_NOTICE " ${VASHTEM_LICENSE_NOTICE}")
string(REPLACE "\n \n" "\n .\n" VASHTEM_LICENSE_NOTICE "${VASHTEM_LICENSE_NOTICE}")
set(VASHTEM_COPYRIGHT_FILE ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright)
vashtem_configure_without_notes(${VASHTEM_PACKAGING_DIR}/copyright.in ${VASHTEM_COPYRIGHT_FILE})
install(FILES ${VASHTEM_COPYRIGHT_FILE} DESTINATION ${VASHTEM_DOC_DIR})

# Manual pages and Debian changelogs are installed compressed, without a name or time in
# the gzip header, so that the same sources give the same package.
find_program(VASHTEM_GZIP gzip)
if(VASHTEM_GZIP)
    set(VASHTEM_CHANGELOG_FILE ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog)
    vashtem_configure_without_notes(${VASHTEM_PACKAGING_DIR}/changelog ${VASHTEM_CHANGELOG_FILE})
    set(VASHTEM_MAN_PAGE ${VASHTEM_PACKAGING_DIR}/vashtem.1)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VASHTEM_MAN_PAGE})
    foreach(file IN ITEMS ${VASHTEM_CHANGELOG_FILE} ${VASHTEM_MAN_PAGE})
        cmake_path(GET file FILENAME name)
        execute_process(COMMAND ${VASHTEM_GZIP} -9 -n -c INPUT_FILE ${file}
            OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${VASHTEM_DOC_DIR})
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/vashtem.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(STATUS "gzip not found: the manual page and the changelog will not be installed")
endif()

if(BUILD_TESTING)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(DESKTOP_FILE_VALIDATE)
        add_test(NAME desktop_entry_valid COMMAND ${DESKTOP_FILE_VALIDATE} ${VASHTEM_DESKTOP_FILE})
    endif()
    # --strict fails on anything above a pedantic hint; the one hint left is the capital
    # letter in the id, which the desktop entry's file name has had from the start.
    find_program(APPSTREAMCLI appstreamcli)
    if(APPSTREAMCLI)
        add_test(NAME metainfo_valid
            COMMAND ${APPSTREAMCLI} validate --pedantic --strict --no-net ${VASHTEM_METAINFO_FILE})
    endif()
endif()
