// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include "ui/ResultListView.h"
#include "ui/frmVersion.h"
#include "ui/Centring.h"
#include "ui/DriveComboBox.h"
#include "ui/FileList.h"
#include "ui/FolderListBox.h"
#include "ui/Fonts.h"
#include "ui/NumberBox.h"
#include "ui/Twips.h"
#include "platform/FileSystem.h"
#include "platform/MountWatch.h"
#include "ui/resources/Pictures.h"
#include "core/results/ResultModel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <limits>

namespace vashtem {

namespace {

constexpr int ClientWidth = 8085;
constexpr int ClientHeight = 7305;
constexpr int SizeTextLimit = 5;

template<typename Widget>
Widget *place(Widget *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

// A label that sizes itself to its text, at a position in twips.
QLabel *textLabel(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(pixels(left), pixels(top));
    label->adjustSize();
    return label;
}

QToolButton *pictureButton(QWidget *parent, const char *name, const QString &caption,
                           const QPixmap &picture, int left, int top, int width, int height)
{
    auto *button = place(new QToolButton(parent), name, left, top, width, height);
    button->setText(caption);
    button->setIcon(QIcon(picture));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QPushButton *commandButton(QWidget *parent, const char *name, const QString &caption,
                           int left, int top, int width, int height)
{
    auto *button = place(new QPushButton(caption, parent), name, left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

QRadioButton *optionButton(QWidget *parent, const QString &groupName, int index, const QString &caption,
                           int left, int top, int width, int height)
{
    auto *button = new QRadioButton(caption, parent);
    button->setObjectName(groupName + QLatin1Char('_') + QString::number(index));
    button->setGeometry(twipsRect(left, top, width, height));
    return button;
}

} // namespace

frmMain::frmMain(Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_results(new ResultModel(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vashtem"));
    setWindowIcon(programIcon());
    setFont(fixedGothic());

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    createDriveAndFolder(client);
    createPatternFrame(client);
    createScopeFrame(client);
    createSizeFrame(client);
    createCommandButtons(client);
    createSummaryRow(client);
    createResultList(client);
    createMenus();
    routeEvents();
    Form_Load();

    resize(pixels(ClientWidth), pixels(ClientHeight) + menuBar()->sizeHint().height());
    centreOnScreen(this);
    Drive1->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::createDriveAndFolder(QWidget *client)
{
    const QByteArray workingFolder = m_platform.fileSystem.currentDirectory();
    Label1 = textLabel(client, "Label1", QStringLiteral("ファイル検索ディレクトリ"), 120, 120);
    Drive1 = place(new DriveComboBox(m_platform.fileSystem.volumes(), client), "Drive1", 120, 360, 2775, 300);
    Drive1->setDriveOf(workingFolder);
    // A combo box is named by its current text whatever its accessible name; the caption
    // reaches a screen reader as the label tied to it.
    Label1->setBuddy(Drive1);
    Dir1 = place(new FolderListBox(m_platform.fileSystem, client), "Dir1", 120, 720, 2775, 1980);
    Dir1->setAccessibleName(QStringLiteral("ドライブのフォルダ"));
    if (Dir1->setPath(workingFolder) != 0)
        Dir1->setPath(Drive1->drive());
    File1 = new FileList(this);
    File1->setObjectName(QStringLiteral("File1"));
}

void frmMain::createPatternFrame(QWidget *client)
{
    Frame3 = place(new QGroupBox(QStringLiteral("検索オプション１"), client), "Frame3", 3000, 120, 2295, 855);
    Label6 = textLabel(Frame3, "Label6", QStringLiteral("検索ファイル指定"), 120, 240);
    txtExt = place(new QLineEdit(Frame3), "txtExt", 360, 480, 1815, 270);
    txtExt->setMaxLength(std::numeric_limits<int>::max());
    Label6->setBuddy(txtExt); // without it the box is named by the frame's caption
}

void frmMain::createScopeFrame(QWidget *client)
{
    Frame1 = place(new QGroupBox(QStringLiteral("検索オプション２"), client), "Frame1", 3000, 1080, 2295, 735);
    const QString group = QStringLiteral("optSearch");
    optSearch[0] = optionButton(Frame1, group, 0, QStringLiteral("指定フォルダのみ検索"), 120, 240, 2120, 180);
    optSearch[1] = optionButton(Frame1, group, 1, QStringLiteral("サブフォルダも検索"), 120, 480, 2055, 180);
    optSearch[0]->setChecked(true);
}

void frmMain::createSizeFrame(QWidget *client)
{
    Frame2 = place(new QGroupBox(QStringLiteral("検索オプション３"), client), "Frame2", 5400, 120, 2535, 1695);
    chkSize = place(new QCheckBox(QStringLiteral("ファイルサイズ指定"), Frame2), "chkSize", 120, 360, 1935, 180);
    txtSize = place(new QLineEdit(Frame2), "txtSize", 150, 840, 550, 270);
    txtSize->setMaxLength(SizeTextLimit);
    txtSize->setAccessibleName(chkSize->text());

    fraByte = place(new QGroupBox(Frame2), "fraByte", 780, 600, 735, 855);
    fraByte->setFont(proportionalGothic());
    fraByte->setAccessibleName(QStringLiteral("ファイルサイズの単位"));
    const QString byteGroup = QStringLiteral("optByte");
    optByte[0] = optionButton(fraByte, byteGroup, 0, QStringLiteral("MB"), 80, 120, 550, 180);
    optByte[1] = optionButton(fraByte, byteGroup, 1, QStringLiteral("KB"), 80, 360, 550, 180);
    optByte[2] = optionButton(fraByte, byteGroup, 2, QStringLiteral("B"), 80, 600, 550, 180);
    optByte[0]->setChecked(true);

    fraUD = place(new QGroupBox(Frame2), "fraUD", 1560, 720, 855, 615);
    fraUD->setFont(proportionalGothic());
    fraUD->setAccessibleName(QStringLiteral("ファイルサイズの範囲"));
    const QString directionGroup = QStringLiteral("optUD");
    optUD[0] = optionButton(fraUD, directionGroup, 0, QStringLiteral("以上"), 80, 120, 670, 180);
    optUD[1] = optionButton(fraUD, directionGroup, 1, QStringLiteral("以下"), 80, 360, 670, 180);
    optUD[0]->setChecked(true);

    txtSize->setVisible(false);
    fraByte->setVisible(false);
    fraUD->setVisible(false);
}

void frmMain::createCommandButtons(QWidget *client)
{
    cmdSearch = pictureButton(client, "cmdSearch", QStringLiteral("検索(&S)"),
                              buttonPicture(SearchPicture, SearchPictureTransparent), 3000, 1920, 1575, 735);
    cmdRemoveOne = commandButton(client, "cmdRemoveOne", QStringLiteral("削除(&R)"), 4680, 1920, 1575, 735);
    cmdRemoveAll = commandButton(client, "cmdRemoveAll", QStringLiteral("全て削除(&K)"), 6360, 1920, 1575, 735);
    Command1 = commandButton(client, "Command1", QStringLiteral("全て選択(&A)"), 120, 6600, 1815, 555);
    Command2 = commandButton(client, "Command2", QStringLiteral("全て選択解除(&C)"), 2040, 6600, 1815, 555);
    cmdExplorer = pictureButton(client, "cmdExplorer", QStringLiteral("エクスプローラ(&E)"),
                                buttonPicture(ExplorerPicture, ExplorerPictureTransparent), 3960, 6600, 1815, 555);
    cmdEnd = commandButton(client, "cmdEnd", QStringLiteral("終了(&X)"), 6120, 6600, 1815, 555);
}

void frmMain::createSummaryRow(QWidget *client)
{
    Label4 = textLabel(client, "Label4", QStringLiteral("検索結果"), 120, 2880);
    Label5 = textLabel(client, "Label5", QStringLiteral("検索時間"), 2205, 2880);
    const QString unit = QStringLiteral("ミリ秒");
    lblTime = place(new NumberBox(QStringLiteral("%1（%2）").arg(Label5->text(), unit), client), "lblTime",
                    3000, 2850, 1095, 255);
    Label5->setBuddy(lblTime);
    Label7 = textLabel(client, "Label7", unit, 4155, 2880);
    Label3 = textLabel(client, "Label3", QStringLiteral("合計ファイル数"), 5040, 2880);
    lblFileSum = place(new NumberBox(Label3->text(), client), "lblFileSum", 6360, 2850, 1455, 255);
    Label3->setBuddy(lblFileSum);
}

void frmMain::createResultList(QWidget *client)
{
    ListView1 = place(new ResultListView(client), "ListView1", 120, 3120, 7815, 3375);
    ListView1->setFont(fixedGothic());
    ListView1->setModel(m_results);
    ListView1->setAccessibleName(Label4->text());
    Label4->setBuddy(ListView1);
}

void frmMain::createMenus()
{
    auto addMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        return menu;
    };
    auto addEntry = [](QMenu *menu, const char *name, const QString &caption) {
        QAction *entry = menu->addAction(caption);
        entry->setObjectName(QLatin1String(name));
        return entry;
    };
    mnuFile = addMenu("mnuFile", QStringLiteral("ファイル(&F)"));
    mnuEnd = addEntry(mnuFile, "mnuEnd", QStringLiteral("終了(&X)"));
    mnuFind = addMenu("mnuFind", QStringLiteral("検索(&F)"));
    mnuSearch = addEntry(mnuFind, "mnuSearch", QStringLiteral("ファイル検索(&S)"));
    mnuEdit = addMenu("mnuEdit", QStringLiteral("編集(&E)"));
    mnuRemoveOne = addEntry(mnuEdit, "mnuRemoveOne", QStringLiteral("削除(&R)"));
    mnuRemoveAll = addEntry(mnuEdit, "mnuRemoveAll", QStringLiteral("全て削除(&K)"));
    mnuBar = mnuEdit->addSeparator();
    mnuBar->setObjectName(QStringLiteral("mnuBar"));
    mnuSelectAll = addEntry(mnuEdit, "mnuSelectAll", QStringLiteral("全て選択(&A)"));
    mnuNotSelectAll = addEntry(mnuEdit, "mnuNotSelectAll", QStringLiteral("全て選択解除(&C)"));
    mnuHelp = addMenu("mnuHelp", QStringLiteral("ヘルプ(&H)"));
    mnuUse = addEntry(mnuHelp, "mnuUse", QStringLiteral("使い方(&U)"));
    mnuVersion = addEntry(mnuHelp, "mnuVersion", QStringLiteral("バージョン情報(&V)"));
}

void frmMain::routeEvents()
{
    connect(cmdSearch, &QAbstractButton::clicked, this, &frmMain::cmdSearch_Click);
    connect(mnuSearch, &QAction::triggered, this, &frmMain::mnuSearch_Click);
    connect(chkSize, &QCheckBox::stateChanged, this, &frmMain::chkSize_Click);
    connect(Drive1, &QComboBox::currentIndexChanged, this, &frmMain::Drive1_Change);
    m_platform.mountWatch.watch(this, [this] { followMounts(); });
    connect(cmdRemoveOne, &QAbstractButton::clicked, this, &frmMain::cmdRemoveOne_Click);
    connect(mnuRemoveOne, &QAction::triggered, this, &frmMain::mnuRemoveOne_Click);
    connect(cmdRemoveAll, &QAbstractButton::clicked, this, &frmMain::cmdRemoveAll_Click);
    connect(mnuRemoveAll, &QAction::triggered, this, &frmMain::mnuRemoveAll_Click);
    connect(Command1, &QAbstractButton::clicked, this, &frmMain::Command1_Click);
    connect(mnuSelectAll, &QAction::triggered, this, &frmMain::mnuSelectAll_Click);
    connect(Command2, &QAbstractButton::clicked, this, &frmMain::Command2_Click);
    connect(mnuNotSelectAll, &QAction::triggered, this, &frmMain::mnuNotSelectAll_Click);
    connect(cmdExplorer, &QAbstractButton::clicked, this, &frmMain::cmdExplorer_Click);
    connect(cmdEnd, &QAbstractButton::clicked, this, &frmMain::cmdEnd_Click);
    connect(mnuEnd, &QAction::triggered, this, &frmMain::mnuEnd_Click);
    connect(mnuUse, &QAction::triggered, this, &frmMain::mnuUse_Click);
    connect(mnuVersion, &QAction::triggered, this, &frmMain::mnuVersion_Click);
}

// The menu entries that repeat a button run the button's routine directly.
void frmMain::mnuSearch_Click() { cmdSearch_Click(); }
void frmMain::mnuRemoveOne_Click() { cmdRemoveOne_Click(); }
void frmMain::mnuRemoveAll_Click() { cmdRemoveAll_Click(); }
void frmMain::mnuSelectAll_Click() { Command1_Click(); }
void frmMain::mnuNotSelectAll_Click() { Command2_Click(); }

} // namespace vashtem
