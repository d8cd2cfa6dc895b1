// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QTemporaryDir>

// A real folder tree in a temporary folder, removed afterwards. Relative paths are
// bytes, so names that are not valid UTF-8 work too, and file(), folder(), symlink() and
// exists() take paths of any length, also beyond what one system call accepts. A step that fails records a test
// failure (the test goes on) and returns an empty path.
class TempTree
{
public:
    // Memory puts the tree on a memory file system where there is one, for trees of many
    // thousands of entries that a disk would take long to make and remove.
    enum class Storage { Disk, Memory };
    explicit TempTree(Storage storage = Storage::Disk);
    ~TempTree();

    bool isValid() const;
    QByteArray root() const; // absolute, no trailing "/"
    QByteArray path(QByteArrayView relative) const;

    // Creates the parent folders and a file of `size` bytes: a fixed pattern in the first
    // MiB, sparse zeros beyond. Sets the modification time when mtimeSecs >= 0.
    QByteArray file(QByteArrayView relative, qint64 size = 0, qint64 mtimeSecs = -1);
    QByteArray folder(QByteArrayView relative);
    QByteArray symlink(QByteArrayView relative, QByteArrayView target);
    // Makes `depth` folders named `name`, each inside the one before, starting in the folder
    // `relative`, with an empty file `fileName` in each; returns the path of the deepest.
    // Makes a folder whose absolute path is `length` bytes, of names as long as names may be;
    // returns its path relative to the root.
    QByteArray folderOfLength(int length);
    QByteArray chain(QByteArrayView relative, int depth, QByteArrayView name, QByteArrayView fileName);

    bool exists(QByteArrayView relative) const; // the entry itself, links not followed
    QByteArray readAll(QByteArrayView relative) const;
    void makeReadOnly(QByteArrayView relative); // clears every write bit

private:
    QTemporaryDir m_dir;
};
