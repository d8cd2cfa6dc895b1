// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ApplicationSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vashtem {

void setUpApplication(QApplication &application)
{
    QApplication::setApplicationName(QStringLiteral("Vashtem"));
    QApplication::setApplicationVersion(QStringLiteral(VASHTEM_VERSION));

    auto *qtTranslations = new QTranslator(&application);
    if (qtTranslations->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                             QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTranslations);
}

} // namespace vashtem
