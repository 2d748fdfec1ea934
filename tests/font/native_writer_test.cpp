// FreeType outlines written as native records: lines merged, B-spline runs kept, cubic
// curves within half a unit, counter-clockwise (CFF) contours reversed.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "font/native_outline.h"
#include "font/native_writer.h"

namespace {

using outlina::FontAffine;
using outlina::NativeScratch;
using outlina::Pt;

constexpr FontAffine kIdentity{1, 0, 0, 0, 1, 0};

// A hand-built outline of one or more contours.
struct Outline {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<short> ends;
  int flags = 0;

  void add(double x, double y, char tag) {
    points.push_back({static_cast<FT_Pos>(std::lround(x)), static_cast<FT_Pos>(std::lround(y))});
    tags.push_back(tag);
  }
  void endContour() { ends.push_back(static_cast<short>(points.size() - 1)); }
  FT_Outline view() {
    FT_Outline o{};
    o.n_points = static_cast<short>(points.size());
    o.n_contours = static_cast<short>(ends.size());
    o.points = points.data();
    o.tags = tags.data();
    o.contours = ends.data();
    o.flags = flags;
    return o;
  }
};

struct Record {
  uint16_t type;
  std::vector<Pt> points;
};
struct Polygon {
  Pt start;
  std::vector<Record> records;
};

double fixedAt(const uint8_t *at) {
  int32_t v;
  std::memcpy(&v, at, 4);
  return v / 65536.0;
}

std::vector<Polygon> parse(const NativeScratch &scratch) {
  std::vector<Polygon> polygons;
  uint32_t offset = 0;
  while (offset < scratch.used) {
    const uint8_t *p = scratch.buffer + offset;
    uint32_t bytes, type;
    std::memcpy(&bytes, p, 4);
    std::memcpy(&type, p + 4, 4);
    EXPECT_EQ(type, 24u);
    Polygon polygon{{fixedAt(p + 8), fixedAt(p + 12)}, {}};
    for (uint32_t at = 16; at < bytes;) {
      uint16_t recordType, count;
      std::memcpy(&recordType, p + at, 2);
      std::memcpy(&count, p + at + 2, 2);
      Record record{recordType, {}};
      for (uint16_t k = 0; k < count; ++k)
        record.points.push_back({fixedAt(p + at + 4 + 8 * k), fixedAt(p + at + 8 + 8 * k)});
      polygon.records.push_back(record);
      at += 4 + 8 * count;
    }
    polygons.push_back(polygon);
    offset += bytes;
  }
  return polygons;
}

// Points along a polygon's curves, with the B-spline's implied on-curve midpoints.
std::vector<Pt> trace(const Polygon &polygon, int samples) {
  std::vector<Pt> out{polygon.start};
  Pt current = polygon.start;
  for (const Record &r : polygon.records) {
    if (r.type == 1) {
      for (Pt p : r.points) out.push_back(current = p);
      continue;
    }
    for (size_t k = 0; k + 1 < r.points.size(); ++k) {
      const Pt control = r.points[k];
      const Pt end = k + 2 == r.points.size() ? r.points[k + 1] : 0.5 * (control + r.points[k + 1]);
      for (int i = 1; i <= samples; ++i) {
        const double t = static_cast<double>(i) / samples, u = 1 - t;
        out.push_back(u * u * current + 2 * u * t * control + t * t * end);
      }
      current = end;
    }
  }
  return out;
}

double signedArea(const std::vector<Pt> &ring) {
  double area = 0;
  for (size_t i = 0; i < ring.size(); ++i) area += outlina::cross(ring[i], ring[(i + 1) % ring.size()]);
  return area / 2;
}

struct Scratch {
  NativeScratch s{};
  ~Scratch() { outlina::fontReleaseNativeScratch(s); }
};

TEST(NativeWriter, CubicCircleBecomesQuadraticsWithinHalfAUnitAndTurnsClockwise) {
  // A counter-clockwise circle of four cubics, as CFF outlines run.
  constexpr double kR = 4000, kC = 5000, kK = 0.5522847498 * kR;
  const Pt cubics[4][4] = {{{kC + kR, kC}, {kC + kR, kC + kK}, {kC + kK, kC + kR}, {kC, kC + kR}},
                           {{kC, kC + kR}, {kC - kK, kC + kR}, {kC - kR, kC + kK}, {kC - kR, kC}},
                           {{kC - kR, kC}, {kC - kR, kC - kK}, {kC - kK, kC - kR}, {kC, kC - kR}},
                           {{kC, kC - kR}, {kC + kK, kC - kR}, {kC + kR, kC - kK}, {kC + kR, kC}}};
  Outline o;
  for (const auto &c : cubics) {
    o.add(c[0].x, c[0].y, FT_CURVE_TAG_ON);
    o.add(c[1].x, c[1].y, FT_CURVE_TAG_CUBIC);
    o.add(c[2].x, c[2].y, FT_CURVE_TAG_CUBIC);
  }
  o.endContour();
  o.flags = FT_OUTLINE_REVERSE_FILL;
  FT_Outline view = o.view();
  Scratch scratch;
  ASSERT_TRUE(outlina::fontWriteNativeOutline(view, kIdentity, scratch.s));
  const std::vector<Polygon> polygons = parse(scratch.s);
  ASSERT_EQ(polygons.size(), 1u);
  for (const Record &r : polygons[0].records) {
    EXPECT_EQ(r.type, 2);
    EXPECT_EQ(r.points.size(), 2u);
  }
  const std::vector<Pt> traced = trace(polygons[0], 24);
  EXPECT_LT(signedArea(traced), 0);
  // Distance from the true cubic (integer points as the outline holds them): nearest of a
  // coarse sampling, refined by ternary search.
  std::vector<std::array<Pt, 4>> exact;
  for (const auto &c : cubics) {
    std::array<Pt, 4> q;
    for (int i = 0; i < 4; ++i) q[i] = {std::round(c[i].x), std::round(c[i].y)};
    exact.push_back(q);
  }
  auto distance = [](const std::array<Pt, 4> &q, double t, Pt p) {
    const double u = 1 - t;
    const Pt b = u * u * u * q[0] + 3 * u * u * t * q[1] + 3 * u * t * t * q[2] + t * t * t * q[3];
    return std::hypot(p.x - b.x, p.y - b.y);
  };
  constexpr int kCoarse = 200;
  double worst = 0;
  for (Pt p : traced) {
    double best = 1e300;
    for (const auto &q : exact) {
      int nearest = 0;
      for (int i = 1; i <= kCoarse; ++i)
        if (distance(q, double(i) / kCoarse, p) < distance(q, double(nearest) / kCoarse, p))
          nearest = i;
      double lo = std::max(0.0, (nearest - 1.0) / kCoarse);
      double hi = std::min(1.0, (nearest + 1.0) / kCoarse);
      for (int k = 0; k < 60; ++k) {
        const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        if (distance(q, m1, p) < distance(q, m2, p))
          hi = m2;
        else
          lo = m1;
      }
      best = std::min(best, distance(q, lo, p));
    }
    worst = std::max(worst, best);
  }
  EXPECT_LE(worst, 0.5);
  EXPECT_LE(polygons[0].records.size(), 64u);
}

TEST(NativeWriter, LinesMergeAndTheClosingLineIsLeftImplicit) {
  Outline o;
  o.add(0, 0, FT_CURVE_TAG_ON);
  o.add(0, 100, FT_CURVE_TAG_ON);
  o.add(100, 100, FT_CURVE_TAG_ON);
  o.add(100, 0, FT_CURVE_TAG_ON);
  o.endContour();
  o.add(10, 10, FT_CURVE_TAG_ON);  // two points enclose nothing and are dropped
  o.add(20, 20, FT_CURVE_TAG_ON);
  o.endContour();
  FT_Outline view = o.view();
  Scratch scratch;
  const FontAffine shifted{2, 0, 5, 0, 2, -7};
  ASSERT_TRUE(outlina::fontWriteNativeOutline(view, shifted, scratch.s));
  const std::vector<Polygon> polygons = parse(scratch.s);
  ASSERT_EQ(polygons.size(), 1u);
  EXPECT_EQ(polygons[0].start.x, 5);
  EXPECT_EQ(polygons[0].start.y, -7);
  ASSERT_EQ(polygons[0].records.size(), 1u);
  const Record &r = polygons[0].records[0];
  EXPECT_EQ(r.type, 1);
  ASSERT_EQ(r.points.size(), 3u);
  EXPECT_EQ(r.points[2].x, 205);
  EXPECT_EQ(r.points[2].y, -7);
  EXPECT_EQ(scratch.s.used, 16u + 4u + 3u * 8u);
}

TEST(NativeWriter, OffCurveRunsStayOneSplineRecord) {
  // A TrueType contour of off-curve points only starts at the midpoint of its last and first.
  Outline o;
  o.add(0, 0, FT_CURVE_TAG_CONIC);
  o.add(0, 100, FT_CURVE_TAG_CONIC);
  o.add(100, 100, FT_CURVE_TAG_CONIC);
  o.add(100, 0, FT_CURVE_TAG_CONIC);
  o.endContour();
  // On, off, off, on: one record of two controls and the end; the contour closes with a line.
  o.add(0, 0, FT_CURVE_TAG_ON);
  o.add(0, 50, FT_CURVE_TAG_CONIC);
  o.add(50, 50, FT_CURVE_TAG_CONIC);
  o.add(50, 0, FT_CURVE_TAG_ON);
  o.endContour();
  FT_Outline view = o.view();
  Scratch scratch;
  ASSERT_TRUE(outlina::fontWriteNativeOutline(view, kIdentity, scratch.s));
  const std::vector<Polygon> polygons = parse(scratch.s);
  ASSERT_EQ(polygons.size(), 2u);
  EXPECT_EQ(polygons[0].start.x, 50);
  EXPECT_EQ(polygons[0].start.y, 0);
  ASSERT_EQ(polygons[0].records.size(), 1u);
  EXPECT_EQ(polygons[0].records[0].type, 2);
  ASSERT_EQ(polygons[0].records[0].points.size(), 5u);
  EXPECT_EQ(polygons[0].records[0].points[4].x, 50);
  EXPECT_EQ(polygons[0].records[0].points[4].y, 0);
  ASSERT_EQ(polygons[1].records.size(), 1u);
  EXPECT_EQ(polygons[1].records[0].points.size(), 3u);
}

TEST(NativeWriter, CoordinatesBeyondSixteenBitsAreRefused) {
  Outline o;
  o.add(0, 0, FT_CURVE_TAG_ON);
  o.add(0, 20000, FT_CURVE_TAG_ON);
  o.add(20000, 0, FT_CURVE_TAG_ON);
  o.endContour();
  FT_Outline view = o.view();
  Scratch scratch;
  EXPECT_TRUE(outlina::fontWriteNativeOutline(view, kIdentity, scratch.s));
  const FontAffine doubled{2, 0, 0, 0, 2, 0};
  EXPECT_FALSE(outlina::fontWriteNativeOutline(view, doubled, scratch.s));
}

}  // namespace
