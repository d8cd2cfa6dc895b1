# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a Debian package, vashtem_<version>_<arch>.deb, of what cmake/Install.cmake
# installs: ./package.sh does it from a Release build, `cpack` does it in any build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vashtem)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VASHTEM_MAINTAINER})
set(CPACK_PACKAGE_VENDOR "The Vashtem developers")
# The staging folder is given to the install as DESTDIR, so the menu entry, written at
# install time, names /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find files and delete the ones you pick")
# English, then Japanese; CPack indents the lines and turns the empty ones into " .".
set(CPACK_PACKAGE_DESCRIPTION [=[
Vashtem searches a folder, alone or with its whole tree, for files whose
names match a pattern such as *.txt;*.log and whose size is above or below
a limit, and lists them with their full path, size and date. Select rows
and delete their files, or delete every listed file; each deletion asks
once and is permanent. The interface is in Japanese.

ファイルを探して、選んだものを削除します。フォルダー（またはそのサブ
フォルダーすべて）から、名前がパターン（*.txt;*.log など）に合い、
サイズが条件に合うファイルを一覧にします。一覧で選んだファイル、または
すべてのファイルを削除できます。削除の前に一度だけ確認し、削除した
ファイルは元に戻せません。]=])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from the binary (dpkg-shlibdeps); the rest is what the program runs
# or shows at run time: a Japanese font (IPA Gothic, or Noto CJK, which the program falls
# back to), Qt's own Japanese texts, and xdg-open.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libqt6gui6 only recommends its platform plugins, without which no window can open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic | fonts-noto-cjk, qt6-qpa-plugins, qt6-translations-l10n, xdg-utils")
# Without the Wayland plugin the program runs through XWayland on a Wayland desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")

# One commit gives one package, byte for byte: cpack stamps every file and archive member
# with SOURCE_DATE_EPOCH, which is the date of the changelog's latest entry unless the
# caller sets one. cpack reads it from its own environment, hence the project config file.
file(STRINGS ${VASHTEM_PACKAGING_DIR}/changelog VASHTEM_CHANGELOG_TRAILER REGEX "^ -- .*>  " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- .*>  " "" VASHTEM_CHANGELOG_DATE "${VASHTEM_CHANGELOG_TRAILER}")
execute_process(COMMAND date -u -d "${VASHTEM_CHANGELOG_DATE}" +%s
    OUTPUT_VARIABLE VASHTEM_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VASHTEM_PACKAGING_DIR}/changelog)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT [=[
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} @VASHTEM_SOURCE_DATE_EPOCH@)
endif()
]=] @ONLY)

include(CPack)

# The package test makes the package of this build folder, so it reuses what is built.
# A sanitizer or Debug build is not what gets packaged, and test.sh runs every test in
# one as well; there it is reported as skipped.
if(BUILD_TESTING)
    string(FIND "${CMAKE_CXX_FLAGS} ${CMAKE_EXE_LINKER_FLAGS}" "-fsanitize" VASHTEM_SANITIZED)
    if(CMAKE_BUILD_TYPE STREQUAL "Debug" OR NOT VASHTEM_SANITIZED EQUAL -1)
        set(VASHTEM_PACKAGE_TEST_DEFAULT OFF)
    else()
        set(VASHTEM_PACKAGE_TEST_DEFAULT ON)
    endif()
    option(VASHTEM_PACKAGE_TEST "Make and check the Debian package in the tests"
        ${VASHTEM_PACKAGE_TEST_DEFAULT})
    if(VASHTEM_PACKAGE_TEST)
        add_test(NAME package_deb
            COMMAND ${VASHTEM_SOURCE_ROOT}/packaging/check-package.sh
                ${CMAKE_CPACK_COMMAND} ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
    else()
        add_test(NAME package_deb COMMAND ${CMAKE_COMMAND} -E echo
            "Skipped: the package is checked in an optimised build without sanitizers (VASHTEM_PACKAGE_TEST=OFF)")
        set_tests_properties(package_deb PROPERTIES SKIP_REGULAR_EXPRESSION "^Skipped:")
    endif()
    set_tests_properties(package_deb PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endif()
