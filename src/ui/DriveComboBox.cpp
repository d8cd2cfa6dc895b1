// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DriveComboBox.h"

#include "platform/MountTable.h"

#include <QSignalBlocker>

#include <algorithm>

namespace vashtem {

DriveComboBox::DriveComboBox(std::vector<QByteArray> volumes, QWidget *parent)
    : QComboBox(parent)
    , m_volumes(std::move(volumes))
{
    addVolumes();
}

void DriveComboBox::setVolumes(std::vector<QByteArray> volumes)
{
    if (volumes == m_volumes)
        return;
    const QByteArray chosen = drive();
    const QSignalBlocker quiet(this);
    clear();
    m_volumes = std::move(volumes);
    addVolumes();
    const auto kept = std::find(m_volumes.begin(), m_volumes.end(), chosen);
    setCurrentIndex(kept == m_volumes.end() ? -1 : int(kept - m_volumes.begin()));
}

void DriveComboBox::addVolumes()
{
    for (const QByteArray &volume : m_volumes)
        addItem(QString::fromUtf8(volume));
}

QByteArray DriveComboBox::drive() const
{
    const int index = currentIndex();
    return index < 0 ? QByteArray() : m_volumes[size_t(index)];
}

QByteArray DriveComboBox::volumeOf(const QByteArray &path) const
{
    return volumeContaining(m_volumes, path);
}

void DriveComboBox::setDriveOf(const QByteArray &path)
{
    const QByteArray volume = volumeOf(path);
    for (size_t index = 0; index < m_volumes.size(); ++index) {
        if (m_volumes[index] == volume)
            setCurrentIndex(int(index));
    }
}

} // namespace vashtem
