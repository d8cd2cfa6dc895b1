// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard behaviour of the main window: the focus order and the Enter key.
#include "ui/frmMain.h"

#include "ui/ResultListView.h"
#include "ui/DriveComboBox.h"
#include "ui/FolderListBox.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace vashtem {

namespace {

// The chosen button of an option group stands for the group in the focus order.
QWidget *chosen(QRadioButton *const *group, int count)
{
    for (int index = 0; index < count; ++index) {
        if (group[index]->isChecked())
            return group[index];
    }
    return group[0];
}

} // namespace

QList<QWidget *> frmMain::focusChain() const
{
    return {Drive1, Dir1, cmdSearch, chosen(optSearch, 2), cmdRemoveOne, cmdRemoveAll,
            Command1, Command2, cmdEnd, chkSize, txtSize, chosen(optByte, 3), chosen(optUD, 2),
            ListView1, cmdExplorer, txtExt};
}

bool frmMain::focusNextPrevChild(bool next)
{
    const QList<QWidget *> chain = focusChain();
    QWidget *current = focusWidget();
    const int start = int(chain.indexOf(current));
    if (start < 0)
        return QMainWindow::focusNextPrevChild(next);
    const int step = next ? 1 : -1;
    for (int offset = 1; offset <= chain.size(); ++offset) {
        QWidget *candidate = chain[(start + step * offset + chain.size() * 2) % chain.size()];
        if (candidate->isVisibleTo(this) && candidate->isEnabled()) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void frmMain::keyPressEvent(QKeyEvent *event)
{
    // Enter reaches the window only when the control that has the focus did not use it.
    // A focused push button presses itself; anywhere else it presses the search button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QWidget *focus = focusWidget();
        if (qobject_cast<QPushButton *>(focus) || qobject_cast<QToolButton *>(focus))
            static_cast<QAbstractButton *>(focus)->click();
        else
            cmdSearch->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace vashtem
