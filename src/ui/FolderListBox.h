// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/FolderCursor.h"
#include "core/search/ListingSource.h"

#include <QListWidget>

#include <optional>

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

    // Opens a folder; 0 on success, else the errno that kept it from being read. The folder
    // that is open already is not read again.
    int setPath(const QByteArray &folder);
    // Reads the folder afresh, or, where it cannot be read any more, the nearest folder above
    // it that can: what was read before of it and of the folders above it may be stale.
    void reopenNearest(const QByteArray &folder);
    // While a folder is being read, on a thread of its own, the cursor must not be touched.
    bool isReading() const { return m_reading; }
    const QByteArray &path() const { return m_cursor->path(); }
    int entryCount() const { return m_cursor->count(); }
    QByteArray entry(int index) const { return m_cursor->entry(index); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Lists folders without holding them open: a folder on show must not keep its volume
    // busy, or the volume could not be unmounted. A subfolder is then opened by its path.
    // A folder listed on another thread beforehand is handed in with prepare().
    class UnheldListing final : public ListingSource
    {
    public:
        explicit UnheldListing(const FileSystem &fileSystem);
        FolderListing list(const QByteArray &folder, const FolderHandle *parent) override;
        void prepare(const QByteArray &folder, FolderListing listing);
        // Lists a folder as list() would, once stop is requested no further.
        FolderListing listAhead(const QByteArray &folder, std::stop_token stop) const;

    private:
        const FileSystem &m_fileSystem;
        QByteArray m_preparedFolder;
        FolderListing m_prepared;
    };

    int read(const QByteArray &folder);
    void refill();
    void openRow(QListWidgetItem *item);
    void addFolderLine(const QIcon &icon, QByteArrayView name, const QByteArray &folder, int depth);

    UnheldListing m_listing;
    std::optional<FolderCursor> m_cursor;
    bool m_reading = false;
};

} // namespace vashtem
