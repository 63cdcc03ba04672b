// SPDX-License-Identifier: MIT
#include "image_list.h"

namespace quarvo {

QPixmap imageListPicture(int index) {
    if (index < 0 || index >= kImageListCount) return {};
    return QPixmap(QStringLiteral(":/images/imagelist/%1.png").arg(index, 2, 10, QLatin1Char('0')));
}

QIcon imageListIcon(int index) {
    const QPixmap picture = imageListPicture(index);
    return picture.isNull() ? QIcon() : QIcon(picture);
}

}  // namespace quarvo
