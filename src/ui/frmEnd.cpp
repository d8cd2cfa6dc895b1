// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmEnd.h"

#include "ui/Centring.h"
#include "ui/Fonts.h"
#include "ui/Twips.h"

#include <QLabel>

namespace vashtem {

namespace {

constexpr int ClientWidth = 4845;
constexpr int ClientHeight = 690;
constexpr int LabelMargin = 240;
constexpr int LabelPoints = 9;

} // namespace

frmEnd::frmEnd(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmEnd"));
    setWindowTitle(QStringLiteral("終了中・・・"));

    Label1 = new QLabel(QStringLiteral("Vashtemを終了中です。少々お待ちください・・・"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(fixedGothic(LabelPoints));
    Label1->move(pixels(LabelMargin), pixels(LabelMargin));
    Label1->adjustSize();

    // The layout was drawn for one font; another font must still show the whole line.
    const int width = qMax(pixels(ClientWidth), Label1->width() + 2 * pixels(LabelMargin));
    const int height = qMax(pixels(ClientHeight), Label1->y() + Label1->height());
    setFixedSize(width, height);
}

} // namespace vashtem
