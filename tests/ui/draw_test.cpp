// Pixels drawn by the rectangle helper and by the shadow and shape previews.
#include "ui/draw.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPoint>

#include "outlina_ui.h"
#include "shape/ui/shape_preview.h"
#include "ui/dialog.h"
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

TEST(Rectangle, HollowKeepsTheInsideAndSwappedCornersDrawTheSameBox) {
  QImage hollow = blank(12, 12), swapped = blank(12, 12), plain = blank(12, 12);
  {
    QPainter a(&hollow), b(&swapped), c(&plain);
    jRectangle(&a, 2, 3, 8, 9, JRGB(0, 0, 0), JRGB(255, 255, 255), JBS_HOLLOW);
    jRectangle(&b, 8, 9, 2, 3, JRGB(0, 0, 0), JRGB(0, 0, 0), JBS_SOLID);
    jRectangle(&c, 2, 3, 8, 9, JRGB(0, 0, 0), JRGB(0, 0, 0), JBS_SOLID);
  }
  int black = 0, blue = 0;
  spanOf(hollow, kBlack, &black);
  spanOf(hollow, kBlue, &blue);
  EXPECT_EQ(black, 7 * 7 - 5 * 5);
  EXPECT_EQ(blue, 144 - 24);
  EXPECT_EQ(swapped, plain);
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
  // Only the area from (1, 1) to (198, 158) is touched.
  for (QPoint outside : {QPoint(0, 0), QPoint(199, 100), QPoint(100, 159)})
    EXPECT_EQ(img.pixel(outside), kBlue);
  EXPECT_EQ(img.pixel(1, 1), kWhite);
  EXPECT_EQ(img.pixel(198, 158), kWhite);

  // q = 100 / 7: the width 42.86 and the shift 14.29 are cut to 42 and 14.
  const QImage cut = shadowImage(200, 160, {JWST_DROP, 0, 1.0f, 0.0f, 100.0f, 0.0f, 3.0f, 7.0f, 0});
  const int left = (200 - 42 - 4) / 2, top = (160 - 100 - 4) / 2;
  EXPECT_EQ(spanOf(cut, kRed), QRect(left, top, 43, 101));
  EXPECT_EQ(spanOf(cut, kBlack), QRect(left + 43, top, 14, 101));
}

TEST(ShadowPreview, PerspectiveShrinksTheFarFaceAndCastLeansOnTheBottom) {
  // Far face at half size moved 100 pixels right: it spans x from left + 125 to left + 175
  // and y from top + 10 to top + 30.
  const QImage img =
      shadowImage(320, 160, {JWST_PERSPECTIVE, 0, 50.0f, 0.0f, 50.0f, 0.0f, 50.0f, 20.0f, 0});
  const int left = (320 - 100 - 4) / 2, top = 58;
  EXPECT_EQ(spanOf(img, kBlack).right(), left + 175);
  EXPECT_EQ(img.pixel(left + 175, top + 10), kBlack);
  EXPECT_EQ(img.pixel(left + 175, top + 30), kBlack);
  EXPECT_EQ(img.pixel(left + 175, top + 5), kWhite);
  EXPECT_EQ(img.pixel(left + 175, top + 35), kWhite);

  const QImage block =
      shadowImage(320, 160, {JWST_BLOCK, 0, 50.0f, 0.0f, 25.0f, 0.0f, 50.0f, 20.0f, 0});
  EXPECT_EQ(spanOf(block, kBlack), QRect(left + 101, top, 100, 41));

  // The cast rises 20 pixels from the bottom edge; above the selection only its top shows.
  const QImage cast =
      shadowImage(200, 160, {JWST_CAST, 0, 10.0f, 10.0f, 100.0f, 0.0f, 50.0f, 20.0f, 0});
  EXPECT_EQ(cast.pixel(48 + 100 + 10, 98 - 10), kBlack);
  EXPECT_EQ(cast.pixel(48 + 100 + 10, 58), kWhite);
}

TEST(ShadowPreview, SelectionWithoutSizeOrUnknownKindDrawsSafely) {
  int white = 0;
  spanOf(shadowImage(200, 160, {JWST_DROP, 0, 10.0f, 5.0f, 100.0f, 0.0f, 0.0f, 0.0f, 0}), kWhite,
         &white);
  EXPECT_EQ(white, 198 * 158);
  const QImage only = shadowImage(200, 160, {9, 0, 10.0f, 5.0f, 100.0f, 0.0f, 50.0f, 20.0f, 0});
  EXPECT_EQ(spanOf(only, kBlack), QRect());
  EXPECT_EQ(spanOf(only, kRed), QRect(48, 58, 101, 41));
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

TEST(ShapePreview, SelectedThumbnailIsOnRedAndUnknownTypesStayPlain) {
  const QImage selected = shapeImage(27, 30, 101, 0.45f), plain = shapeImage(27, 30, 1, 0.45f);
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
  EXPECT_EQ(spanOf(shapeImage(50, 50, 1, 1.0f, 10.0f), kBlack), QRect());
}

}  // namespace
