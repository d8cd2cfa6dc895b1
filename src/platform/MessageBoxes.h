// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace vashtem {

// Style codes of a message box: one button set plus one icon.
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int OkCancel = 1;
constexpr int RetryCancel = 5;
constexpr int Warning = 48;
constexpr int Information = 64;
} // namespace MsgStyle

// The answer of a message box.
namespace MsgAnswer {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Retry = 4;
} // namespace MsgAnswer

// Modal message boxes. The first button of a set is the default; Escape and the
// close box answer Cancel where the set has a Cancel button.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual int show(QWidget *parent, const QString &text, const QString &title, int style) = 0;
};

} // namespace vashtem
