// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramDriver.h"

#include "Fatal.h"
#include "Stopwatch.h"

#include "ui/FolderListBox.h"
#include "ui/ResultListView.h"
#include "ui/frmMain.h"
#include "platform/Paths.h"
#include "core/results/ResultModel.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QWindow>

namespace vashtem::bench {

namespace {

template<typename Widget>
Widget *child(const frmMain &window, const char *name)
{
    Widget *widget = window.findChild<Widget *>(QLatin1String(name));
    if (!widget)
        fatal(std::string("the main window has no ") + name);
    return widget;
}

void waitUntilExposed(const frmMain &window)
{
    const Stopwatch watch;
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (watch.ms() > 10'000)
            fatal("the main window was never shown");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

} // namespace

ProgramDriver::ProgramDriver(Platform &platform)
    : m_window(std::make_unique<frmMain>(platform))
{
    m_window->show();
    waitUntilExposed(*m_window);
    click("optSearch_1");
}

ProgramDriver::~ProgramDriver() = default;

double ProgramDriver::click(const char *buttonName)
{
    QAbstractButton *button = child<QAbstractButton>(*m_window, buttonName);
    return timed([button] { button->click(); });
}

double ProgramDriver::timed(const std::function<void()> &action)
{
    if (m_watch)
        m_watch->started(*m_window);
    const Stopwatch watch;
    action();
    const double elapsed = watch.ms();
    // The painting a command leaves behind holds the window too: watched to its end.
    QCoreApplication::processEvents();
    if (m_watch)
        m_watch->ended();
    return elapsed;
}

double ProgramDriver::search(const QString &pattern)
{
    child<QLineEdit>(*m_window, "txtExt")->setText(pattern);
    return click("cmdSearch");
}

double ProgramDriver::openInFolderChooser(const QByteArray &folder)
{
    auto *folders = child<FolderListBox>(*m_window, "Dir1");
    folders->setPath(parentFolder(folder));
    return timed([&] { folders->setPath(folder); });
}

long ProgramDriver::rows() const
{
    return long(m_window->results().rowCount());
}

size_t ProgramDriver::storeBytes() const
{
    return m_window->results().store().memoryUsed();
}

double ProgramDriver::selectAll()
{
    return click("Command1");
}

double ProgramDriver::clearSelection()
{
    return click("Command2");
}

double ProgramDriver::deleteEvery(long step)
{
    const ResultModel &model = m_window->results();
    QItemSelectionModel *selection = child<ResultListView>(*m_window, "ListView1")->selectionModel();
    selection->clearSelection();
    QItemSelection chosen;
    const int lastColumn = ResultModel::ColumnCount - 1;
    for (int row = 0; row < model.rowCount(); row += int(step))
        chosen.append(QItemSelectionRange(model.index(row, 0), model.index(row, lastColumn)));
    selection->select(chosen, QItemSelectionModel::Select);
    QCoreApplication::processEvents();
    return click("cmdRemoveOne");
}

double ProgramDriver::deleteAll()
{
    return click("cmdRemoveAll");
}

ProgramDriver::Farewell ProgramDriver::farewell()
{
    // The farewell empties the list with one model reset; its two signals bracket it.
    ResultModel &model = m_window->results();
    const Stopwatch watch;
    double resetStart = -1;
    double resetEnd = -1;
    const QMetaObject::Connection started = QObject::connect(
        &model, &QAbstractItemModel::modelAboutToBeReset, &model, [&] { resetStart = watch.ms(); });
    const QMetaObject::Connection ended = QObject::connect(
        &model, &QAbstractItemModel::modelReset, &model, [&] { resetEnd = watch.ms(); });
    const double whole = click("cmdEnd");
    QObject::disconnect(started);
    QObject::disconnect(ended);
    if (resetStart < 0 || resetEnd < 0)
        fatal("the farewell did not empty the list");
    return {whole, resetEnd - resetStart};
}

FileSet ProgramDriver::listedFiles(long step) const
{
    FileSet files;
    const ResultModel &model = m_window->results();
    for (int row = 0; row < model.rowCount(); row += int(step))
        files.add(model.fullPath(row));
    return files;
}

} // namespace vashtem::bench
