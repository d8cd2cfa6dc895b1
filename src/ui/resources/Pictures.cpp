// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/resources/Pictures.h"

#include <QBitmap>

// The pictures are compiled into a static library, where the linker keeps them only if
// something names their initialiser, and that must be named from the global namespace.
// Registering them again is harmless.
static void registerPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace vashtem {

QPixmap buttonPicture(const QString &resource, const QColor &transparent)
{
    registerPictures();
    QPixmap picture(resource);
    // A null pixmap has no pixels to mask and Qt warns about setting a mask on it.
    if (!picture.isNull())
        picture.setMask(picture.createMaskFromColor(transparent, Qt::MaskInColor));
    return picture;
}

QIcon programIcon()
{
    registerPictures();
    QIcon icon;
    icon.addFile(QString::fromLatin1(ProgramIcon16));
    icon.addFile(QString::fromLatin1(ProgramIcon32));
    return icon;
}

} // namespace vashtem
