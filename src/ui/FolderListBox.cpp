// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FolderListBox.h"

#include "ui/BusyCommand.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace vashtem {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;
constexpr int IndentPerLevel = 8; // pixels per level of depth
// Both folder icons are drawn at this size. The lines take their height from the last one,
// so an icon that the style offers larger would otherwise make every line taller.
constexpr int IconPixels = 16;

// Shifts each line right by its depth, so the folders read as a tree.
class IndentDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + index.data(DepthRole).toInt() * IndentPerLevel);
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

// The folder itself and each ancestor, from the root down: "/a/b" -> "/", "/a", "/a/b".
QList<QByteArray> ancestry(const QByteArray &folder)
{
    QList<QByteArray> chain{folder};
    while (chain.first() != parentFolder(chain.first()))
        chain.prepend(parentFolder(chain.first()));
    return chain;
}

} // namespace

FolderListBox::FolderListBox(const FileSystem &fileSystem, QWidget *parent)
    : QListWidget(parent)
    , m_listing(fileSystem, [](QByteArrayView) { return false; })
    , m_cursor(m_listing)
{
    setUniformItemSizes(true);
    setIconSize(QSize(IconPixels, IconPixels));
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderListBox::openRow);
}

int FolderListBox::setPath(const QByteArray &folder)
{
    int error = 0;
    // Every entry is read to find the subfolders, which takes a while in a folder of a million
    // files: once the window shows, it goes on painting meanwhile.
    if (isVisible()) {
        BusyCommand busy(window());
        busy.run([&] { error = m_cursor.setPath(folder); }, [] { return false; });
    } else {
        error = m_cursor.setPath(folder);
    }
    if (error == 0)
        refill();
    return error;
}

void FolderListBox::refill()
{
    const QIcon folderIcon(style()->standardIcon(QStyle::SP_DirIcon).pixmap(IconPixels));
    const QIcon openIcon(style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(IconPixels));
    clear();
    int depth = 0;
    for (const QByteArray &ancestor : ancestry(path())) {
        const QByteArrayView name = depth == 0 ? QByteArrayView(ancestor) : lastComponent(ancestor);
        addFolderLine(openIcon, name, ancestor, depth++);
    }
    setCurrentRow(depth - 1);
    for (int index = 0; index < entryCount(); ++index) {
        const QByteArray child = entry(index);
        addFolderLine(folderIcon, lastComponent(child), child, depth);
    }
}

void FolderListBox::addFolderLine(const QIcon &icon, QByteArrayView name, const QByteArray &folder, int depth)
{
    auto *item = new QListWidgetItem(icon, QString::fromUtf8(name), this);
    item->setData(PathRole, folder);
    item->setData(DepthRole, depth);
}

void FolderListBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QListWidgetItem *highlighted = currentItem();
    if (enter && highlighted && highlighted->data(PathRole).toByteArray() != path()) {
        openRow(highlighted);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderListBox::openRow(QListWidgetItem *item)
{
    setPath(item->data(PathRole).toByteArray());
}

} // namespace vashtem
