// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/QtMessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace vashtem {

namespace {

constexpr int ButtonSetMask = 0x0F;
constexpr int IconMask = 0x70;

QMessageBox::Icon iconFor(int style)
{
    switch (style & IconMask) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case MsgStyle::Warning: return QMessageBox::Warning;
    case MsgStyle::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int QtMessageBoxes::show(QWidget *parent, const QString &text, const QString &title, int style)
{
    QMessageBox box(iconFor(style), title, text, QMessageBox::NoButton, parent);
    QPushButton *first = nullptr;
    QPushButton *cancel = nullptr;
    QPushButton *retry = nullptr;
    switch (style & ButtonSetMask) {
    case MsgStyle::OkCancel:
        first = box.addButton(QMessageBox::Ok);
        cancel = box.addButton(QMessageBox::Cancel);
        break;
    case MsgStyle::RetryCancel:
        first = retry = box.addButton(QMessageBox::Retry);
        cancel = box.addButton(QMessageBox::Cancel);
        break;
    default:
        first = box.addButton(QMessageBox::Ok);
        break;
    }
    box.setDefaultButton(first);
    box.setEscapeButton(cancel ? cancel : first);
    box.exec();
    // Escape and the close box report the escape button, Cancel where there is one.
    if (cancel && box.clickedButton() != first)
        return MsgAnswer::Cancel;
    return retry ? MsgAnswer::Retry : MsgAnswer::Ok;
}

} // namespace vashtem
