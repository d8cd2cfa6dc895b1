// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmVersion.h"

#include "ui/HomePage.h"
#include "ui/Centring.h"
#include "ui/Fonts.h"
#include "ui/Twips.h"
#include "platform/ProgramLauncher.h"
#include "ui/resources/Pictures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace vashtem {

namespace {

constexpr int ClientWidth = 4305;
constexpr int ClientHeight = 4455;
constexpr int WindowPoints = 9;
constexpr int TextPoints = 12;
constexpr int TitlePoints = 36;
constexpr int TitleBorder = 2;
// The narrowest gap the layout leaves between a control and the window's edge.
constexpr int ClientMargin = 90;

// Where a control sits, in twips from the top-left corner of the client area.
struct Placement {
    int left;
    int top;
    int width;
    int height;
};

// A width of zero lets a label take the width of its text.
constexpr int FitText = 0;
constexpr Placement lblTitlePlace{120, 240, FitText, 780};
constexpr Placement Label2Place{3360, 1200, 840, 240};
constexpr Placement Label3Place{120, 1680, 1920, 240};
constexpr Placement Label4Place{1200, 2160, FitText, 240};
constexpr Placement Label5Place{2160, 2640, 1920, 240};
constexpr Placement Command1Place{2280, 3120, 1935, 615};
constexpr Placement Command2Place{120, 3120, 1935, 615};
constexpr Placement Label6Place{960, 3960, FitText, 240};

const QColor TitleText(0, 255, 0);
const QColor TitleBackground(192, 255, 192);

// Puts a control at its place in the layout, made larger where its text needs more room
// than the layout gave it, so no text is ever cut.
void place(QWidget *control, const Placement &placement)
{
    const QSize needed = control->sizeHint();
    control->setGeometry(pixels(placement.left), pixels(placement.top),
                         qMax(pixels(placement.width), needed.width()),
                         qMax(pixels(placement.height), needed.height()));
}

} // namespace

frmVersion::frmVersion(ProgramLauncher &launcher, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_launcher(launcher)
{
    setObjectName(QStringLiteral("frmVersion"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vashtem バージョン情報"));
    setWindowIcon(programIcon());
    setFont(fixedGothic(WindowPoints));

    lblTitle = addLabel("lblTitle", QStringLiteral("Vashtem"), TitlePoints);
    lblTitle->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblTitle->setLineWidth(TitleBorder);
    lblTitle->setAutoFillBackground(true);
    QPalette colours = lblTitle->palette();
    colours.setColor(QPalette::WindowText, TitleText);
    colours.setColor(QPalette::Window, TitleBackground);
    lblTitle->setPalette(colours);
    place(lblTitle, lblTitlePlace);

    Label2 = addLabel("Label2", QStringLiteral("Ver 1.0"), TextPoints);
    place(Label2, Label2Place);
    Label3 = addLabel("Label3", QStringLiteral("このプログラムは"), TextPoints);
    place(Label3, Label3Place);
    Label4 = addLabel("Label4", QStringLiteral("C++ と Qt 6"), TextPoints);
    place(Label4, Label4Place);
    Label5 = addLabel("Label5", QStringLiteral("で、作られました"), TextPoints);
    place(Label5, Label5Place);

    // Created in tab order: "OK！" first.
    Command1 = addButton("Command1", QStringLiteral("OK！"));
    place(Command1, Command1Place);
    Command2 = addButton("Command2", QStringLiteral("ホームページ"));
    place(Command2, Command2Place);
    setTabOrder(Command1, Command2);

    Label6 = addLabel("Label6", QStringLiteral("(C) 2026 Vashtem developers"), TextPoints);
    place(Label6, Label6Place);

    fitClientArea();
    Command1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &frmVersion::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmVersion::Command2_Click);
}

void frmVersion::Command1_Click()
{
    close();
}

void frmVersion::Command2_Click()
{
    const QString program = QString::fromLatin1(HomePageOpener);
    if (!m_launcher.startDetached(program, {QString::fromLatin1(HomePageAddress)}))
        Q_EMIT launchFailed(program);
}

bool frmVersion::eventFilter(QObject *watched, QEvent *event)
{
    // Neither button is a default button, yet Enter presses the one that has the focus,
    // which QPushButton does by itself only for default buttons.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QPushButton *>(watched)->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QLabel *frmVersion::addLabel(const char *name, const QString &text, int points)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(fixedGothic(points));
    return label;
}

QPushButton *frmVersion::addButton(const char *name, const QString &text)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(fixedGothic(TextPoints));
    button->setAutoDefault(false);
    button->setDefault(false);
    button->installEventFilter(this);
    return button;
}

void frmVersion::fitClientArea()
{
    // Widened controls must not reach past the window's edge.
    QRect used;
    for (const QWidget *control : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        used |= control->geometry();
    resize(qMax(pixels(ClientWidth), used.right() + 1 + pixels(ClientMargin)),
           qMax(pixels(ClientHeight), used.bottom() + 1 + pixels(ClientMargin)));
}

} // namespace vashtem
