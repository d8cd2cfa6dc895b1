// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MessageBoxes.h"

namespace vashtem {

// Message boxes drawn by QMessageBox; the buttons read in the language of the loaded
// Qt translation.
class QtMessageBoxes final : public MessageBoxes
{
public:
    int show(QWidget *parent, const QString &text, const QString &title, int style) override;
};

} // namespace vashtem
