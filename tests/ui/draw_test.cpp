// Pixels drawn by the rectangle helper and by the shadow and shape previews.
#include "shape/ui/draw.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPoint>

#include "outlina_ui.h"
#include "shape/ui/dialog.h"
#include "shape/ui/shape_preview.h"
#include "weld/ui/shadow_preview.h"

namespace {

const QRgb kBlue = qRgb(0, 0, 255), kRed = qRgb(255, 0, 0), kBlack = qRgb(0, 0, 0),
           kWhite = qRgb(255, 255, 255);

// The box spanned by the pixels of one colour, and optionally their count.
QRect spanOf(const QImage &img, QRgb colour, int *count = nullptr) {
  QRect box;
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) == colour) {
        box |= QRect(x, y, 1, 1);
        ++n;
      }
  if (count != nullptr) *count = n;
  return box;
}

QImage blank(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(kBlue);
  return img;
}

TEST(Rectangle, PaintsBothCornersWithOutlineAndFillAndRestoresThePainter) {
  QImage img = blank(20, 20);
  {
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPen pen(Qt::green, 3);
    painter.setPen(pen);
    painter.setBrush(Qt::yellow);
    EXPECT_EQ(jRectangle(&painter, 0, 0, 9, 9, JRGB(255, 0, 0), JRGB(0, 0, 0), JBS_SOLID), 1);
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush().color(), QColor(Qt::yellow));
    EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing));
  }
  int red = 0, black = 0;
  EXPECT_EQ(spanOf(img, kRed, &red), QRect(0, 0, 10, 10));
  EXPECT_EQ(spanOf(img, kBlack, &black), QRect(1, 1, 8, 8));
  EXPECT_EQ(black, 64);
  EXPECT_EQ(red + black, 100);
  EXPECT_EQ(jRectangle(nullptr, 0, 0, 1, 1, 0, 0, JBS_SOLID), 0);
}

TEST(DialogNumbers, ReadLikeTheStandardConversionAndPrintWithFixedDecimals) {
  using outlina::numberText;
  using outlina::textToInt;
  using outlina::textToNumber;
  EXPECT_EQ(textToNumber("  12.5mm", 18), 12.5);
  EXPECT_EQ(textToNumber("", 18), 0.0);
  EXPECT_EQ(textToNumber(QStringLiteral("１２"), 18), 0.0);
  EXPECT_EQ(textToNumber("1234567890123456789", 18), 123456789012345678.0);
  EXPECT_EQ(textToInt("250", 5), 250);
  EXPECT_EQ(textToInt("1234567", 5), 12345);
  EXPECT_EQ(textToInt("-5", 5), -5);
  EXPECT_EQ(numberText(0.125, 2), "0.12");
  EXPECT_EQ(numberText(-0.004, 2), "-0.00");
}

QImage shadowImage(int w, int h, const JWeldShadowParam &p) {
  QImage img = blank(w, h);
  QPainter painter(&img);
  outlina::weldShadowPreview(&painter, img.size(), p);
  return img;
}

TEST(ShadowPreview, SelectionIsAHundredPixelsLongAndCentredInTheClip) {
  const QImage img =
      shadowImage(200, 160, {JWST_DROP, 0, 10.0f, 5.0f, 100.0f, 0.0f, 50.0f, 20.0f, 0});
  // q = 2: the selection is 100 x 40 from (48, 58), both far edges painted.
  int red = 0;
  EXPECT_EQ(spanOf(img, kRed, &red), QRect(48, 58, 101, 41));
  EXPECT_EQ(red, 101 * 41);
  // The drop is moved by (20, -10) pixels: y up in the record is up on the screen.
  EXPECT_EQ(spanOf(img, kBlack), QRect(68, 48, 101, 41));
  // Only the area from (1, 1) to (196, 156) is touched.
  for (QPoint outside : {QPoint(0, 0), QPoint(197, 100), QPoint(100, 157)})
    EXPECT_EQ(img.pixel(outside), kBlue);
  EXPECT_EQ(img.pixel(1, 1), kWhite);
  EXPECT_EQ(img.pixel(196, 156), kWhite);
}

QImage shapeImage(int w, int h, int32_t selector, float strength, float y1 = 110.0f) {
  QImage img = blank(w, h);
  QPainter painter(&img);
  outlina::DrawShapePreview(&painter, img.size(), 10.0f, 10.0f, 210.0f, y1, selector, strength);
  return img;
}

TEST(ShapePreview, TypeOneAtZeroIsThePlainBoxAndAtFullStrengthArchesByAQuarter) {
  // The plain 200 x 100 frame placed as the preview places it, computed independently.
  const int w = 213, h = 265;
  const double scale = static_cast<double>(0.8f) * (h - 2) / 300.0;
  const double offX = ((w - 2) - scale * 200) / 2, offY = ((h - 2) - scale * 100) / 2;
  const QRect box(
      QPoint(static_cast<int>(offX), static_cast<int>(offY)),
      QPoint(static_cast<int>(200 * scale + offX), static_cast<int>(100 * scale + offY)));
  int black = 0;
  EXPECT_EQ(spanOf(shapeImage(w, h, 1, 0.0f), kBlack, &black), box);
  EXPECT_EQ(black, box.width() * box.height());

  const QImage arched = shapeImage(w, h, 1, 1.0f);
  const int mid = static_cast<int>(100 * scale + offX);
  int top = -1, bottom = -1;
  for (int y = 0; y < h; ++y) {
    if (arched.pixel(mid, y) != kBlack) continue;
    if (top < 0) top = y;
    bottom = y;
  }
  // Both long edges rise by a quarter of the height at the middle; the corners stay.
  EXPECT_EQ(top, static_cast<int>(-25 * scale + offY));
  EXPECT_EQ(bottom, static_cast<int>(75 * scale + offY));
  EXPECT_EQ(arched.pixel(box.topLeft()), kBlack);
  EXPECT_EQ(arched.pixel(box.bottomLeft()), kBlack);
}

}  // namespace
