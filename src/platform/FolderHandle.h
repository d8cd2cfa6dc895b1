#pragma once

#include <QByteArray>

namespace vashtem {

// An open folder reached without passing through any symbolic link, so that what is done
// inside it happens in the folder the path names and never in a link's target.
class FolderHandle
{
public:
    explicit FolderHandle(const QByteArray &folder);
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    int error() const { return m_error; } // why it could not be opened

private:
    int m_fd = -1;
    int m_error = 0;
};

} // namespace vashtem
