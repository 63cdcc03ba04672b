// SPDX-License-Identifier: MIT
#include "viewer_look.h"

#include <QStringList>

namespace quarvo {

QFont windowFont(int pixel_size, bool bold) {
    QFont font;
    // Wider faces clip the fixed-width labels, so the narrow stand-ins come
    // before the desktop's default.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("Helvetica"), font.family()});
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    return font;
}

}  // namespace quarvo
