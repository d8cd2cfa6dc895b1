// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ui/MainWindowFixture.h"

#include "core/results/ResultModel.h"

#include <QItemSelectionModel>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

namespace vashtem::testing {

MainWindowFixture::MainWindowFixture()
{
    fake.fileSystem.workingFolder = tree.root();
}

void MainWindowFixture::open()
{
    window = std::make_unique<frmMain>(fake.platform);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void MainWindowFixture::choose(const char *optionButton) const
{
    button(optionButton)->click();
}

void MainWindowFixture::search(const char *scope) const
{
    choose(scope);
    button("cmdSearch")->click();
}

QStringList MainWindowFixture::column(int column) const
{
    QStringList texts;
    const QAbstractItemModel *model = list()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

void MainWindowFixture::selectRows(const QList<int> &rows) const
{
    QItemSelectionModel *selection = list()->selectionModel();
    const QAbstractItemModel *model = list()->model();
    for (const int row : rows)
        selection->select(model->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QList<int> MainWindowFixture::selectedRows() const
{
    QList<int> rows;
    for (int row = 0; row < list()->model()->rowCount(); ++row) {
        if (list()->selectionModel()->isRowSelected(row))
            rows.append(row);
    }
    return rows;
}

void MainWindowFixture::run(const QString &command) const
{
    if (QAbstractButton *commandButton = button(qPrintable(command)))
        commandButton->click();
    else
        action(qPrintable(command))->trigger();
}

void MainWindowFixture::onWindowThread(const std::function<void()> &step) const
{
    if (QThread::currentThread() == window->thread())
        QFAIL("the command's work runs on the window's thread");
    std::atomic<bool> done{false};
    QMetaObject::invokeMethod(
        window.get(), [&] { step(); done = true; }, Qt::QueuedConnection);
    while (!done)
        std::this_thread::yield();
}

void MainWindowFixture::pressEscape() const
{
    QTest::keyClick(window.get(), Qt::Key_Escape);
}

void MainWindowFixture::hangAndEscape(const QByteArray &folder)
{
    fake.fileSystem.hang(folder, [this] { onWindowThread([this] { pressEscape(); }); });
}

} // namespace vashtem::testing
