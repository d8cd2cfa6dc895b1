// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace vashtem {

class ProgramLauncher;

// The About window: the program's name, version and maker, a button that opens the home
// page and one that closes the window. Closing destroys it.
class frmVersion final : public QWidget
{
    Q_OBJECT

public:
    explicit frmVersion(ProgramLauncher &launcher, QWidget *parent = nullptr);


    void Command1_Click();
    void Command2_Click();

Q_SIGNALS:
    // The home page could not be opened because the program could not be started.
    void launchFailed(const QString &program);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addLabel(const char *name, const QString &text, int points);
    QPushButton *addButton(const char *name, const QString &text);
    void fitClientArea();
    ProgramLauncher &m_launcher;

    QLabel *lblTitle = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
};

} // namespace vashtem
