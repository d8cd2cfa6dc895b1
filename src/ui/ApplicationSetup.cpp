// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ApplicationSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vashtem {

void setUpApplication(QApplication &application)
{
    // A shell finds a window's launcher by the desktop entry's id: the window carries it as
    // its X11 class, which is the application's name, and as its Wayland app id, the
    // desktop file name. Window titles stay as they are, since no display name is set.
    QApplication::setApplicationName(QStringLiteral(VASHTEM_DESKTOP_ID));
    QGuiApplication::setDesktopFileName(QStringLiteral(VASHTEM_DESKTOP_ID));
    QApplication::setApplicationVersion(QStringLiteral(VASHTEM_VERSION));

    auto *qtTranslations = new QTranslator(&application);
    if (qtTranslations->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                             QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTranslations);
}

} // namespace vashtem
