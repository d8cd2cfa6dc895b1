// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;

namespace vashtem {

// The farewell window, on screen while the program winds down. It has no behaviour of
// its own: the main window shows it and closes it.
class frmEnd final : public QWidget
{
    Q_OBJECT

public:
    explicit frmEnd(QWidget *parent = nullptr);


private:
    QLabel *Label1 = nullptr;
};

} // namespace vashtem
