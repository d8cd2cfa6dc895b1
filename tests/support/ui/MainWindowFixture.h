// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/platform/FakePlatform.h"
#include "support/platform/TempTree.h"

#include "ui/ResultListView.h"
#include "ui/frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <memory>

namespace vashtem::testing {

// The real main window, opened on a temporary tree, with every platform service a stand-in.
struct MainWindowFixture {
    TempTree tree;
    FakePlatform fake;
    std::unique_ptr<frmMain> window;

    MainWindowFixture();
    void open(); // builds and shows the window on the tree's root; call after filling the tree

    template<typename T>
    T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QAbstractButton *button(const char *name) const { return find<QAbstractButton>(name); }
    QAction *action(const char *name) const { return find<QAction>(name); }
    QLabel *label(const char *name) const { return find<QLabel>(name); }
    QLineEdit *edit(const char *name) const { return find<QLineEdit>(name); }
    ResultListView *list() const { return find<ResultListView>("ListView1"); }

    void choose(const char *optionButton) const; // clicks an option button
    void search(const char *scope = "optSearch_1") const;
    QStringList column(int column) const; // the texts of one column, top to bottom
    void selectRows(const QList<int> &rows) const;
    QList<int> selectedRows() const;
    void run(const QString &command) const; // clicks the button, or triggers the menu entry, of that name

    // From the thread of a command's work (a hook of the fake file system): runs step on the
    // window's thread as its next event and returns once it has run.
    void onWindowThread(const std::function<void()> &step) const;
    void pressEscape() const;
    // The folder hangs as on a share that stopped answering, and Escape comes once it does.
    void hangAndEscape(const QByteArray &folder);
};

} // namespace vashtem::testing
