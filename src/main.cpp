#include "app/frmMain.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vashtem"));
    QApplication::setApplicationVersion(QStringLiteral(VASHTEM_VERSION));

    // Qt's own buttons (OK, Cancel, Retry) read in Japanese like the rest of the program.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                            QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    vashtem::frmMain window(vashtem::systemPlatform());
    window.show();
    return QApplication::exec();
}
