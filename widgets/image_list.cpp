// SPDX-License-Identifier: MIT
#include "image_list.h"

namespace quarvo {

QPixmap ImageListPicture(int index) {
    if (index < 0 || index >= kImageListCount) return {};
    return QPixmap(QStringLiteral(":/images/imagelist/%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

QIcon ImageListIcon(int index) {
    const QPixmap picture = ImageListPicture(index);
    return picture.isNull() ? QIcon() : QIcon(picture);
}

}  // namespace quarvo
