// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QComboBox>

#include <vector>

namespace vashtem {

// The drive chooser: one entry per mounted volume a user would search, by mount point.
// Changing the chosen volume, by the user or by the program, emits currentIndexChanged.
class DriveComboBox final : public QComboBox
{
    Q_OBJECT

public:
    DriveComboBox(std::vector<QByteArray> volumes, QWidget *parent = nullptr);

    // Lists these volumes from now on. The chosen volume stays chosen while it is listed;
    // when it is not, none is. Neither is signalled as a change of the chosen volume.
    void setVolumes(std::vector<QByteArray> volumes);
    const std::vector<QByteArray> &volumes() const { return m_volumes; }

    QByteArray drive() const;
    // The listed volume that holds the path.
    QByteArray volumeOf(const QByteArray &path) const;
    // Chooses the volume that holds the path.
    void setDriveOf(const QByteArray &path);

private:
    void addVolumes();

    std::vector<QByteArray> m_volumes;
};

} // namespace vashtem
