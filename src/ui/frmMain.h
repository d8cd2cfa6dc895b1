// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"
#include "core/search/SearchCriteria.h"

#include <QMainWindow>
#include <QPointer>

#include <vector>

class QAction;
class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace vashtem {

struct DeleteFailure;
class DriveComboBox;
class FileList;
class FolderListBox;
class FolderSearch;
class ResultListView;
class ResultModel;
class frmVersion;

// The main window: every input of a search, the result list, the two summary labels,
// seven command buttons and four menus. Each button and menu entry runs one command
// routine; the menu entries that repeat a button run that button's routine.
class frmMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmMain(Platform &platform, QWidget *parent = nullptr);
    ~frmMain() override;

    // The commands, callable from code as from their buttons and menu entries.
    void cmdSearch_Click();
    void cmdRemoveOne_Click();
    void cmdRemoveAll_Click();
    void Command1_Click();
    void Command2_Click();
    void cmdExplorer_Click();
    void cmdEnd_Click();
    void mnuEnd_Click();
    void mnuUse_Click();
    void mnuVersion_Click();

    ResultModel &results() const { return *m_results; }
    const SearchCriteria &criteria() const { return m_criteria; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Building the window, one group of controls each.
    void createDriveAndFolder(QWidget *client);
    void createPatternFrame(QWidget *client);
    void createScopeFrame(QWidget *client);
    void createSizeFrame(QWidget *client);
    void createCommandButtons(QWidget *client);
    void createSummaryRow(QWidget *client);
    void createResultList(QWidget *client);
    void createMenus();
    QList<QWidget *> focusChain() const;
    void routeEvents();
    void Form_Load();

    void mnuSearch_Click();
    void mnuRemoveOne_Click();
    void mnuRemoveAll_Click();
    void mnuSelectAll_Click();
    void mnuNotSelectAll_Click();
    void chkSize_Click();
    void Drive1_Change();
    void Form_Unload();
    // Lists the volumes mounted now in Drive1, after a change of the mount table.
    void followMounts();

    // Search helpers.
    void readCriteria();
    void reportUnread(const FolderSearch &search);
    void setRowCountText();
    // Deletion helpers.
    std::vector<bool> selectedRows() const;
    void deleteRows(const std::vector<bool> &chosen);
    void reportDeleteFailure(const QByteArray &path, const DeleteFailure &failure);
    // Opens a folder or a file (the manual) with the desktop's file manager; says so when
    // it cannot be started, or when it reports that it could not open the path.
    void openWithFileManager(const QByteArray &path);
    // Says that `program`, wanted as the `role` (file manager, browser...), did not start.
    void reportLaunchFailure(const QString &role, const QString &program);
    // Shutdown.
    void runFarewell();

    Platform &m_platform;
    SearchCriteria m_criteria;
    ResultModel *m_results = nullptr;
    enum class Farewell { NotStarted, Running, Over };
    Farewell m_farewell = Farewell::NotStarted;
    QPointer<frmVersion> m_about;

    DriveComboBox *Drive1 = nullptr;       // the drive chooser: one entry per volume
    FolderListBox *Dir1 = nullptr;         // the folder chooser: the folder to search
    // The invisible file list, a named control of the window: it records the pattern and the
    // folder of the last search. The walk lists folders itself, so nothing reads it back.
    FileList *File1 = nullptr;
    QLabel *Label1 = nullptr;              // caption above the drive and folder choosers
    QGroupBox *Frame1 = nullptr;           // frame of the scope buttons
    QGroupBox *Frame2 = nullptr;           // frame of the size filter
    QGroupBox *Frame3 = nullptr;           // frame of the pattern box
    QLabel *Label6 = nullptr;              // caption of the pattern box
    QLineEdit *txtExt = nullptr;
    QRadioButton *optSearch[2] = {};
    QCheckBox *chkSize = nullptr;
    QLineEdit *txtSize = nullptr;
    QGroupBox *fraByte = nullptr;
    QRadioButton *optByte[3] = {};
    QGroupBox *fraUD = nullptr;
    QRadioButton *optUD[2] = {};
    QToolButton *cmdSearch = nullptr;
    QPushButton *cmdRemoveOne = nullptr;
    QPushButton *cmdRemoveAll = nullptr;
    QLabel *Label4 = nullptr;              // caption "検索結果" of the summary row
    QLabel *Label5 = nullptr;              // caption before the elapsed time
    QLabel *lblTime = nullptr;
    QLabel *Label7 = nullptr;              // unit after the elapsed time
    QLabel *Label3 = nullptr;              // caption before the row count
    QLabel *lblFileSum = nullptr;
    ResultListView *ListView1 = nullptr;
    QPushButton *Command1 = nullptr;       // selects every row
    QPushButton *Command2 = nullptr;       // clears the selection
    QToolButton *cmdExplorer = nullptr;
    QPushButton *cmdEnd = nullptr;

    QMenu *mnuFile = nullptr;
    QAction *mnuEnd = nullptr;
    QMenu *mnuFind = nullptr;
    QAction *mnuSearch = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuRemoveOne = nullptr;
    QAction *mnuRemoveAll = nullptr;
    QAction *mnuBar = nullptr;
    QAction *mnuSelectAll = nullptr;
    QAction *mnuNotSelectAll = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuUse = nullptr;
    QAction *mnuVersion = nullptr;
};

} // namespace vashtem
