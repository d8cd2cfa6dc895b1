#include "app/ApplicationSetup.h"
#include "app/frmMain.h"
#include "platform/Platform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    vashtem::setUpApplication(application);

    vashtem::frmMain window(vashtem::systemPlatform());
    window.show();
    return QApplication::exec();
}
