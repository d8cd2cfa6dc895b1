// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ApplicationSetup.h"
#include "ui/frmMain.h"
#include "ui/SystemPlatform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    vashtem::setUpApplication(application);

    vashtem::frmMain window(vashtem::systemPlatform());
    window.show();
    return QApplication::exec();
}
