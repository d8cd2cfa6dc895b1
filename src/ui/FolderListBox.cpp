// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FolderListBox.h"

#include "ui/BusyCommand.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyledItemDelegate>

#include <cerrno>
#include <memory>
#include <utility>

namespace vashtem {

namespace {

constexpr int PathRole = Qt::UserRole;
const NameFilter NoFiles = [](QByteArrayView) { return false; }; // files are not shown
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
    , m_listing(fileSystem)
    , m_cursor(std::in_place, m_listing)
{
    setUniformItemSizes(true);
    setIconSize(QSize(IconPixels, IconPixels));
    setItemDelegate(new IndentDelegate(this));
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderListBox::openRow);
}

FolderListBox::UnheldListing::UnheldListing(const FileSystem &fileSystem)
    : m_fileSystem(fileSystem)
{
}

FolderListing FolderListBox::UnheldListing::list(const QByteArray &folder, const FolderHandle *parent)
{
    if (!m_preparedFolder.isEmpty() && folder == m_preparedFolder) {
        m_preparedFolder.clear();
        return std::exchange(m_prepared, {});
    }
    FolderListing listing = listOn(m_fileSystem, folder, parent, NoFiles, {});
    listing.handle.reset();
    return listing;
}

void FolderListBox::UnheldListing::prepare(const QByteArray &folder, FolderListing listing)
{
    m_preparedFolder = withoutTrailingSeparator(folder);
    m_prepared = std::move(listing);
}

FolderListing FolderListBox::UnheldListing::listAhead(const QByteArray &folder, std::stop_token stop) const
{
    FolderListing listing = m_fileSystem.listFolder(withoutTrailingSeparator(folder), NoFiles, std::move(stop));
    listing.handle.reset();
    return listing;
}

int FolderListBox::setPath(const QByteArray &folder)
{
    // Opening the open folder changes nothing, as the Cancel of a drive's box does: read
    // again, it could fail where nothing failed.
    if (!path().isEmpty() && withoutTrailingSeparator(folder) == path())
        return 0;
    return read(folder);
}

void FolderListBox::reopenNearest(const QByteArray &folder)
{
    for (QByteArray nearest = folder;; nearest = parentFolder(nearest)) {
        m_cursor.emplace(m_listing); // a cursor goes back up through the listings it holds
        if (read(nearest) == 0)
            return;
        if (nearest == parentFolder(nearest))
            break;
    }
    clear(); // nothing can be read, not even the root
}

int FolderListBox::read(const QByteArray &folder)
{
    // Every entry is read to find the subfolders, which takes a while in a folder of a million
    // files: once the window shows, it goes on painting meanwhile, on a thread that lists the
    // folder into a listing of its own. Escape gives it up, and a listing stuck on a share
    // that stopped answering is left to end on its own; the folder shown stays.
    if (isVisible()) {
        const QScopedValueRollback reading(m_reading, true);
        BusyCommand busy(window());
        const auto ahead = std::make_shared<FolderListing>();
        busy.run([ahead, listing = &m_listing, folder, stop = busy.stopToken()] {
            *ahead = listing->listAhead(folder, stop);
        }, [] { return false; }, BusyCommand::Stuck::LeaveIt);
        if (busy.abandoned() || busy.stopped())
            return ECANCELED;
        m_listing.prepare(folder, std::move(*ahead));
    }
    const int error = m_cursor->setPath(folder);
    m_listing.prepare({}, {}); // unused where the cursor went back up to a folder it holds
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
