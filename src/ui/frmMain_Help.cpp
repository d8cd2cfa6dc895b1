// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu: the manual in the working folder, and the About window.
#include "ui/frmMain.h"

#include "ui/Centring.h"
#include "ui/frmVersion.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace vashtem {

namespace {

const QString ManualName = QStringLiteral("説明書.html");
const QString HomePageOpenerRole = QStringLiteral("ホームページを開くプログラム");

} // namespace

void frmMain::mnuUse_Click()
{
    QByteArray folder = m_platform.fileSystem.currentDirectory();
    AppendBackslash(folder);
    openWithFileManager(fileUrl(folder + ManualName.toUtf8()));
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
