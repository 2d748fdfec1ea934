#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "shape/ui/shape_preview.h"
#include "weld/ui/shadow_preview.h"

namespace {

const QRgb kBlue = qRgb(0, 0, 255), kRed = qRgb(255, 0, 0), kBlack = qRgb(0, 0, 0),
           kWhite = qRgb(255, 255, 255);

QRect spanOf(const QImage &img, QRgb colour, int *count = nullptr) {
  QRect box;
  int n = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixel(x, y) == colour) {
        box |= QRect(x, y, 1, 1);
        ++n;
      }
    }
  }
  if (count != nullptr) *count = n;
  return box;
}

QImage shadowImage(int w, int h, const JWeldShadowParam &p) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(kBlue);
  QPainter painter(&img);
  outlina::weldShadowPreview(&painter, img.size(), p);
  return img;
}

TEST(ShadowPreview, SelectionIsAHundredPixelsLongAndCentredInTheClip) {
  const JWeldShadowParam drop{JWST_DROP, 0, 10.0f, 5.0f, 100.0f, 0.0f, 50.0f, 20.0f, 0};
  const QImage img = shadowImage(200, 160, drop);
  // q = 2: the selection is 100 x 40 from (48, 58), both far edges painted.
  int red = 0;
  EXPECT_EQ(spanOf(img, kRed, &red), QRect(48, 58, 101, 41));
  EXPECT_EQ(red, 101 * 41);
  // The drop is moved by (20, -10) pixels: y up in the record is up on the screen.
  EXPECT_EQ(spanOf(img, kBlack), QRect(68, 48, 101, 41));
  // Only the area from (1, 1) to (196, 156) is touched.
  EXPECT_EQ(img.pixel(0, 0), kBlue);
  EXPECT_EQ(img.pixel(197, 100), kBlue);
  EXPECT_EQ(img.pixel(100, 157), kBlue);
  EXPECT_EQ(img.pixel(1, 1), kWhite);
  EXPECT_EQ(img.pixel(196, 156), kWhite);
}

TEST(ShadowPreview, TruncatesEveryScaledLength) {
  // q = 100 / 7: the width 42.86 and the shift 14.29 are cut to 42 and 14.
  const JWeldShadowParam drop{JWST_DROP, 0, 1.0f, 0.0f, 100.0f, 0.0f, 3.0f, 7.0f, 0};
  const QImage img = shadowImage(200, 160, drop);
  const int left = (200 - 42 - 4) / 2, top = (160 - 100 - 4) / 2;
  EXPECT_EQ(spanOf(img, kRed), QRect(left, top, 43, 101));
  EXPECT_EQ(spanOf(img, kBlack), QRect(left + 43, top, 14, 101));
}

TEST(ShadowPreview, PerspectiveShrinksTheFarFaceAndCastLeansOnTheBottom) {
  // Far face at half size moved 100 pixels right: c = 25, d = 10.
  const JWeldShadowParam persp{JWST_PERSPECTIVE, 0, 50.0f, 0.0f, 50.0f, 0.0f, 50.0f, 20.0f, 0};
  const QImage img = shadowImage(320, 160, persp);
  const int left = (320 - 100 - 4) / 2, top = 58;
  // The far face spans x from left + 125 to left + 175 and y from top + 10 to top + 30.
  EXPECT_EQ(spanOf(img, kBlack).right(), left + 175);
  EXPECT_EQ(img.pixel(left + 175, top + 10), kBlack);
  EXPECT_EQ(img.pixel(left + 175, top + 30), kBlack);
  EXPECT_EQ(img.pixel(left + 175, top + 5), kWhite);
  EXPECT_EQ(img.pixel(left + 175, top + 35), kWhite);

  const JWeldShadowParam block{JWST_BLOCK, 0, 50.0f, 0.0f, 25.0f, 0.0f, 50.0f, 20.0f, 0};
  const QImage blockImg = shadowImage(320, 160, block);
  EXPECT_EQ(spanOf(blockImg, kBlack), QRect(left + 101, top, 100, 41));

  const JWeldShadowParam cast{JWST_CAST, 0, 10.0f, 10.0f, 100.0f, 0.0f, 50.0f, 20.0f, 0};
  const QImage castImg = shadowImage(200, 160, cast);
  // The shadow rises 20 pixels from the bottom edge; above the selection only its top shows.
  EXPECT_EQ(castImg.pixel(48 + 100 + 10, 98 - 10), kBlack);
  EXPECT_EQ(castImg.pixel(48 + 100 + 10, 58), kWhite);
}

TEST(ShadowPreview, SelectionWithoutSizeOrUnknownKindDrawsSafely) {
  const JWeldShadowParam none{JWST_DROP, 0, 10.0f, 5.0f, 100.0f, 0.0f, 0.0f, 0.0f, 0};
  const QImage img = shadowImage(200, 160, none);
  int white = 0;
  spanOf(img, kWhite, &white);
  EXPECT_EQ(white, 196 * 156);
  const JWeldShadowParam unknown{9, 0, 10.0f, 5.0f, 100.0f, 0.0f, 50.0f, 20.0f, 0};
  const QImage only = shadowImage(200, 160, unknown);
  EXPECT_EQ(spanOf(only, kBlack), QRect());
  EXPECT_EQ(spanOf(only, kRed), QRect(48, 58, 101, 41));
}

QImage shapeImage(int w, int h, int32_t selector, float strength, float x1 = 210.0f,
                  float y1 = 110.0f) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(kBlue);
  QPainter painter(&img);
  outlina::DrawShapePreview(&painter, img.size(), 10.0f, 10.0f, x1, y1, selector, strength);
  return img;
}

// The plain 200 x 100 frame placed as the preview places it, computed independently.
QRect plainBox(int w, int h) {
  const double scale = static_cast<double>(0.8f) * (h - 2) / 300.0;
  const double offX = ((w - 2) - scale * 200) / 2, offY = ((h - 2) - scale * 100) / 2;
  return QRect(QPoint(static_cast<int>(offX), static_cast<int>(offY)),
               QPoint(static_cast<int>(200 * scale + offX), static_cast<int>(100 * scale + offY)));
}

TEST(ShapePreview, TypeOneAtZeroIsThePlainBoxAndAtFullStrengthArchesByAQuarter) {
  const int w = 213, h = 265;
  const QRect box = plainBox(w, h);
  int black = 0;
  EXPECT_EQ(spanOf(shapeImage(w, h, 1, 0.0f), kBlack, &black), box);
  EXPECT_EQ(black, box.width() * box.height());

  const QImage arched = shapeImage(w, h, 1, 1.0f);
  const double scale = static_cast<double>(0.8f) * (h - 2) / 300.0;
  const double offY = ((h - 2) - scale * 100) / 2;
  const int mid = static_cast<int>(100 * scale + ((w - 2) - scale * 200) / 2);
  int top = -1, bottom = -1;
  for (int y = 0; y < h; ++y) {
    if (arched.pixel(mid, y) != kBlack) continue;
    if (top < 0) top = y;
    bottom = y;
  }
  // Both long edges rise by a quarter of the height at the middle; the corners stay.
  EXPECT_EQ(top, static_cast<int>(-25 * scale + offY));
  EXPECT_EQ(bottom, static_cast<int>(75 * scale + offY));
  EXPECT_EQ(arched.pixel(box.left(), box.top()), kBlack);
  EXPECT_EQ(arched.pixel(box.left(), box.bottom()), kBlack);
}

TEST(ShapePreview, SelectedThumbnailIsOnRedAndUnknownTypesStayPlain) {
  const QImage selected = shapeImage(27, 30, 101, 0.45f);
  const QImage plain = shapeImage(27, 30, 1, 0.45f);
  EXPECT_EQ(selected.pixel(0, 0), kRed);
  EXPECT_EQ(plain.pixel(0, 0), kWhite);
  EXPECT_EQ(spanOf(selected, kBlack), spanOf(plain, kBlack));
  // The last two columns and rows are the picture's edge and stay untouched.
  EXPECT_EQ(selected.pixel(25, 10), kBlue);
  EXPECT_EQ(selected.pixel(10, 28), kBlue);
  EXPECT_EQ(selected.pixel(24, 27), kRed);

  // Type 40 counts as an x type (39 mod 8 = 7) and is drawn unbent, like type 5 at 0 %.
  EXPECT_EQ(shapeImage(100, 100, 40, 1.0f), shapeImage(100, 100, 5, 0.0f));
  EXPECT_EQ(shapeImage(100, 100, 0, 1.0f), shapeImage(100, 100, 1, 0.0f));
  // A frame without height has no outline; only the ground is drawn.
  EXPECT_EQ(spanOf(shapeImage(50, 50, 1, 1.0f, 210.0f, 10.0f), kBlack), QRect());
}

}  // namespace
