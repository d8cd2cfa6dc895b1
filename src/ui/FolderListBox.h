// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/FolderCursor.h"
#include "core/search/ListingSource.h"

#include <QListWidget>

namespace vashtem {

class FileSystem;

// The folder chooser: the open folder's ancestors from the root down, the folder itself,
// then its subfolders, one line each and indented by depth. A double-click opens a folder,
// and so does Enter on the highlighted line; Enter on the open folder's own line goes on to
// the window (its default button).
// Offers the readings of a folder cursor: the open path, entries -2 (parent), -1 (the folder
// itself) and 0..count-1 (subfolders), and the count.
class FolderListBox final : public QListWidget
{
    Q_OBJECT

public:
    FolderListBox(const FileSystem &fileSystem, QWidget *parent = nullptr);

    // Opens a folder; 0 on success, else the errno that kept it from being read.
    int setPath(const QByteArray &folder);
    const QByteArray &path() const { return m_cursor.path(); }
    int entryCount() const { return m_cursor.count(); }
    QByteArray entry(int index) const { return m_cursor.entry(index); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refill();
    void openRow(QListWidgetItem *item);
    void addFolderLine(const QIcon &icon, QByteArrayView name, const QByteArray &folder, int depth);

    DirectListing m_listing;
    FolderCursor m_cursor;
};

} // namespace vashtem
