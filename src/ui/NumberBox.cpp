// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/NumberBox.h"

#include <QAccessibleWidget>

namespace vashtem {

namespace {

class NumberBoxAccessible final : public QAccessibleWidget
{
public:
    explicit NumberBoxAccessible(NumberBox *box)
        : QAccessibleWidget(box, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value || kind == QAccessible::Description)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *numberBoxAccessible(const QString &, QObject *object)
{
    if (auto *box = qobject_cast<NumberBox *>(object))
        return new NumberBoxAccessible(box);
    return nullptr;
}

} // namespace

NumberBox::NumberBox(const QString &caption, QWidget *parent)
    : QLabel(parent)
{
    [[maybe_unused]] static const bool factoryInstalled = [] {
        QAccessible::installFactory(numberBoxAccessible);
        return true;
    }();
    setAccessibleName(caption);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

} // namespace vashtem
