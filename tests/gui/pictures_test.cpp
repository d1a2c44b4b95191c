#include "gui/pictures.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

constexpr PictureId kAllPictures[] = {
    PictureId::BlockDiagram, PictureId::Schematic2,  PictureId::Schematic3,   PictureId::Schematic4,
    PictureId::Schematic5,   PictureId::FeedbackRf, PictureId::FeedbackRfLf, PictureId::FeedbackRfCf,
};

bool HasColour(const QImage& image, QRgb colour) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFFu) == (colour & 0xFFFFFFu) && qAlpha(image.pixel(x, y)) == 255) return true;
  return false;
}

TEST(PicturePainting, EveryPictureAtRatioOneAndTwo) {
  for (PictureId id : kAllPictures) {
    const QSize size = PictureSize(id);
    for (qreal dpr : {1.0, 2.0}) {
      const QPixmap pixmap = RenderPicture(id, dpr);
      ASSERT_EQ(pixmap.size(), size * dpr) << static_cast<int>(id);
      EXPECT_EQ(pixmap.devicePixelRatio(), dpr);
      const QImage image = pixmap.toImage();
      // Black frame, white ground just inside it, green wires and blue lettering.
      EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFFu, 0u);
      EXPECT_EQ(image.pixel(image.width() - 1, image.height() / 2) & 0xFFFFFFu, 0u);
      EXPECT_EQ(image.pixel(int(3 * dpr), int(3 * dpr)), qRgb(255, 255, 255));
      EXPECT_TRUE(HasColour(image, qRgb(0, 128, 0))) << static_cast<int>(id);
      EXPECT_TRUE(HasColour(image, qRgb(0, 0, 255))) << static_cast<int>(id);
      // Drawn once: a second request hands back the same pixmap.
      EXPECT_EQ(RenderPicture(id, dpr).cacheKey(), pixmap.cacheKey());
    }
  }
  EXPECT_TRUE(RenderPicture(PictureId::None, 1).isNull());
}

TEST(PicturePainting, TargetIconHasSmallSizesRedYellowAndClearCorners) {
  const QIcon icon = AppIcon();
  const QList<QSize> sizes = icon.availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  for (int side : {16, 32}) {
    const QImage image = icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(side, side));
    EXPECT_TRUE(HasColour(image, qRgb(255, 0, 0))) << side;
    EXPECT_TRUE(HasColour(image, qRgb(255, 255, 0))) << side;
    for (QPoint corner : {QPoint(0, 0), QPoint(side - 1, 0), QPoint(0, side - 1), QPoint(side - 1, side - 1)})
      EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << side;
  }
}

}  // namespace
