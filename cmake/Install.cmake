# Installs the program for the desktop: the executable, the manual beside which it is
# started, a menu entry and the icon in both sizes.
include(GNUInstallDirs)

cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH VASHTEM_SOURCE_ROOT)
set(VASHTEM_DESKTOP_ID io.github.vashtem.Vashtem)
set(VASHTEM_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vashtem)

install(TARGETS vashtem RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES "${VASHTEM_SOURCE_ROOT}/docs/説明書.html" DESTINATION ${VASHTEM_DATA_DIR})
# The screenshot is made from a running program, so a fresh checkout may lack it.
install(FILES "${VASHTEM_SOURCE_ROOT}/docs/screenshot.png" DESTINATION ${VASHTEM_DATA_DIR} OPTIONAL)

# The entry starts the program by its full path, so that a prefix outside PATH works too,
# in the manual's folder, where Help looks for it. The prefix may change after configuring
# (cmake --install --prefix), so the installed entry is made at install time; the one made
# now is what the test validates.
set(VASHTEM_DESKTOP_TEMPLATE "${VASHTEM_SOURCE_ROOT}/packaging/${VASHTEM_DESKTOP_ID}.desktop.in")
set(VASHTEM_DESKTOP_FILE ${CMAKE_CURRENT_BINARY_DIR}/${VASHTEM_DESKTOP_ID}.desktop)
configure_file(${VASHTEM_DESKTOP_TEMPLATE} ${VASHTEM_DESKTOP_FILE} @ONLY)
set(VASHTEM_INSTALLED_DESKTOP_FILE ${CMAKE_CURRENT_BINARY_DIR}/install/${VASHTEM_DESKTOP_ID}.desktop)
install(CODE "
    set(VASHTEM_DESKTOP_ID ${VASHTEM_DESKTOP_ID})
    set(CMAKE_INSTALL_FULL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    set(CMAKE_INSTALL_FULL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    foreach(dir IN ITEMS CMAKE_INSTALL_FULL_BINDIR CMAKE_INSTALL_FULL_DATADIR)
        cmake_path(ABSOLUTE_PATH \${dir} BASE_DIRECTORY \"\${CMAKE_INSTALL_PREFIX}\" NORMALIZE)
    endforeach()
    configure_file(\"${VASHTEM_DESKTOP_TEMPLATE}\" \"${VASHTEM_INSTALLED_DESKTOP_FILE}\" @ONLY)
")
install(FILES ${VASHTEM_INSTALLED_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

foreach(size IN ITEMS 16x16 32x32)
    install(FILES "${VASHTEM_SOURCE_ROOT}/src/resources/icons/${size}/${VASHTEM_DESKTOP_ID}.png"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

if(BUILD_TESTING)
    find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
    if(DESKTOP_FILE_VALIDATE)
        add_test(NAME desktop_entry_valid COMMAND ${DESKTOP_FILE_VALIDATE} ${VASHTEM_DESKTOP_FILE})
    endif()
endif()
