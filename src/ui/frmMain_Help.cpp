// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu: the manual, from the working folder or else the installed one, and the
// About window.
#include "ui/frmMain.h"

#include "ui/Centring.h"
#include "ui/frmVersion.h"
#include "platform/FileSystem.h"
#include "platform/ManualLocation.h"

namespace vashtem {

namespace {

const QString HomePageOpenerRole = QStringLiteral("ホームページを開くプログラム");

} // namespace

void frmMain::mnuUse_Click()
{
    openWithFileManager(manualPath(m_platform.fileSystem.currentDirectory()));
}

void frmMain::mnuVersion_Click()
{
    // A window closed by OK lingers hidden until its deferred deletion; showing it again
    // would lose it then, so only a visible one is brought back.
    if (m_about && m_about->isVisible()) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    m_about = new frmVersion(m_platform.launcher);
    connect(m_about, &frmVersion::launchFailed, this,
            [this](const QString &program) { reportLaunchFailure(HomePageOpenerRole, program); });
    showCentred(m_about);
}

} // namespace vashtem
