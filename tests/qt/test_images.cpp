// SPDX-License-Identifier: MIT
// The pictures the windows show: every shipped JPEG decodes (so a missing
// image plugin fails here instead of showing empty boxes), the image list
// holds its 20 pictures, and each toolbar glyph has a disabled image.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QSet>

#include "image_list.h"

namespace {

QStringList resource_files(const QString& suffix) {
    QStringList files;
    QDirIterator it(QStringLiteral(":/images"), QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(suffix, Qt::CaseInsensitive)) files << path;
    }
    return files;
}

TEST(Images, EveryShippedJpegDecodes) {
    ASSERT_TRUE(QImageReader::supportedImageFormats().contains("jpeg"))
        << "Qt's JPEG image plugin is missing";
    const QStringList jpegs = resource_files(QStringLiteral(".jpg"));
    ASSERT_TRUE(jpegs.contains(QStringLiteral(":/images/logo.jpg")));
    for (const QString& path : jpegs) {
        QImageReader reader(path);
        const QImage image = reader.read();
        EXPECT_FALSE(image.isNull())
            << path.toStdString() << ": " << reader.errorString().toStdString();
        EXPECT_GT(image.width(), 16) << path.toStdString();
    }
}

TEST(Images, EveryPictureInTheSourceTreeIsBuiltIn) {
    QDirIterator it(QStringLiteral(QUARVO_SOURCE_DIR "/resources/images"), QDir::Files,
                    QDirIterator::Subdirectories);
    int count = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        const QString inside =
            QStringLiteral(":/images/") +
            QDir(QStringLiteral(QUARVO_SOURCE_DIR "/resources/images")).relativeFilePath(path);
        EXPECT_TRUE(QFile::exists(inside)) << inside.toStdString();
        ++count;
    }
    EXPECT_GT(count, quarvo::kImageListCount);
}

TEST(Images, ImageListHoldsTwentyDistinctSmallPictures) {
    QSet<QByteArray> seen;
    for (int i = 0; i < quarvo::kImageListCount; ++i) {
        const QPixmap picture = quarvo::imageListPicture(i);
        ASSERT_FALSE(picture.isNull()) << "picture " << i;
        EXPECT_EQ(picture.size(), QSize(16, 16)) << "picture " << i;
        EXPECT_FALSE(quarvo::imageListIcon(i).isNull()) << "picture " << i;
        const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), quarvo::kImageListCount) << "two pictures of the list are the same";
}

TEST(Images, ImageListHasNothingOutsideItsIndexes) {
    EXPECT_TRUE(quarvo::imageListPicture(-1).isNull());
    EXPECT_TRUE(quarvo::imageListPicture(quarvo::kImageListCount).isNull());
    EXPECT_TRUE(quarvo::imageListIcon(quarvo::kImageListCount).isNull());
}

TEST(Images, EveryGlyphHasADifferentDisabledImageOfItsSize) {
    for (const char* name : {"help", "contacts", "bookmarks", "start", "about", "exit"}) {
        const QString base = QStringLiteral(":/images/glyphs/") + QLatin1String(name);
        const QImage normal(base + QStringLiteral(".png"));
        const QImage disabled(base + QStringLiteral("_disabled.png"));
        ASSERT_FALSE(normal.isNull()) << name;
        ASSERT_FALSE(disabled.isNull()) << name;
        EXPECT_EQ(normal.size(), disabled.size()) << name;
        EXPECT_NE(normal.convertToFormat(QImage::Format_ARGB32),
                  disabled.convertToFormat(QImage::Format_ARGB32))
            << name;
    }
}

}  // namespace
