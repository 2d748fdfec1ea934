#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPoint>

#include "outlina_ui.h"
#include "shape/ui/dialog.h"
#include "shape/ui/draw.h"

namespace {

const QRgb kBlue = qRgb(0, 0, 255);

// Pixels of the given colour and the box they span.
struct Coverage {
  int count = 0;
  QRect box;
};

Coverage coverage(const QImage &img, QRgb colour) {
  Coverage c;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      if (img.pixel(x, y) == colour) {
        ++c.count;
        c.box |= QRect(x, y, 1, 1);
      }
    }
  }
  return c;
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
  const Coverage red = coverage(img, qRgb(255, 0, 0)), black = coverage(img, qRgb(0, 0, 0));
  EXPECT_EQ(red.count + black.count, 100);
  EXPECT_EQ(red.box, QRect(0, 0, 10, 10));
  EXPECT_EQ(black.box, QRect(1, 1, 8, 8));
  EXPECT_EQ(black.count, 64);
}

TEST(Rectangle, HollowKeepsTheInsideAndSwappedCornersDrawTheSameBox) {
  QImage hollow = blank(12, 12), swapped = blank(12, 12), plain = blank(12, 12);
  {
    QPainter a(&hollow), b(&swapped), c(&plain);
    jRectangle(&a, 2, 3, 8, 9, JRGB(0, 0, 0), JRGB(255, 255, 255), JBS_HOLLOW);
    jRectangle(&b, 8, 9, 2, 3, JRGB(0, 0, 0), JRGB(0, 0, 0), JBS_SOLID);
    jRectangle(&c, 2, 3, 8, 9, JRGB(0, 0, 0), JRGB(0, 0, 0), JBS_SOLID);
  }
  EXPECT_EQ(coverage(hollow, qRgb(0, 0, 0)).count, 7 * 7 - 5 * 5);
  EXPECT_EQ(coverage(hollow, kBlue).count, 144 - 24);
  EXPECT_EQ(swapped, plain);
  EXPECT_EQ(jRectangle(nullptr, 0, 0, 1, 1, 0, 0, JBS_SOLID), 0);
}

TEST(Polygon, CoversItsCornerPoints) {
  QImage img = blank(12, 12);
  {
    QPainter painter(&img);
    const QPoint square[] = {{2, 2}, {7, 2}, {7, 7}, {2, 7}};
    EXPECT_EQ(outlina::jPolygon(&painter, square, 4, outlina::kBlack, outlina::kBlack, JBS_SOLID),
              1);
    EXPECT_EQ(outlina::jPolygon(&painter, nullptr, 4, 0, 0, JBS_SOLID), 0);
  }
  const Coverage black = coverage(img, qRgb(0, 0, 0));
  EXPECT_EQ(black.box, QRect(2, 2, 6, 6));
  EXPECT_EQ(black.count, 36);
}

TEST(DialogNumbers, ReadLikeTheStandardConversionAndPrintWithFixedDecimals) {
  using outlina::numberText;
  using outlina::textToInt;
  using outlina::textToNumber;
  EXPECT_EQ(textToNumber("  12.5mm", 18), 12.5);
  EXPECT_EQ(textToNumber("abc", 18), 0.0);
  EXPECT_EQ(textToNumber("", 18), 0.0);
  EXPECT_EQ(textToNumber(QStringLiteral("１２"), 18), 0.0);
  EXPECT_EQ(textToNumber("1234567890123456789", 18), 123456789012345678.0);
  EXPECT_EQ(textToInt("250", 5), 250);
  EXPECT_EQ(textToInt("1234567", 5), 12345);
  EXPECT_EQ(textToInt("-5", 5), -5);
  EXPECT_EQ(numberText(1.234f, 2), "1.23");
  EXPECT_EQ(numberText(0.125, 2), "0.12");
  EXPECT_EQ(numberText(-0.004, 2), "-0.00");
  EXPECT_EQ(numberText(180.0, 1), "180.0");
}

}  // namespace
