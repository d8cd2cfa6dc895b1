// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace vashtem {

// The invisible file list: the pattern the search lists files by and the folder it listed
// last. It never shows and never takes the focus.
class FileList final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    QString pattern() const { return m_pattern; }
    void setPattern(const QString &pattern) { m_pattern = pattern; }
    QByteArray path() const { return m_path; }
    void setPath(const QByteArray &folder) { m_path = folder; }

private:
    QString m_pattern = QStringLiteral("*.*");
    QByteArray m_path;
};

} // namespace vashtem
