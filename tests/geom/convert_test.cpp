#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina.h"
#include "support/path_builder.h"

namespace {

using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

struct XY {
  double x, y;
};

// Every test starts from, and leaves, the default curve resolution.
class Convert : public ::testing::Test {
 protected:
  void SetUp() override { jVectSetCurveRes(32, 3.0f); }
  void TearDown() override { jVectSetCurveRes(32, 3.0f); }
};

std::vector<int> modesOf(const JVect *path) {
  std::vector<int> out;
  for (const P &p : pointsOf(path)) out.push_back(p.mode);
  return out;
}

// Standard Bezier evaluation from the stored three-quarter-handle controls.
XY cubicPoint(XY p0, XY p1, XY p2, XY p3, double t) {
  const XY b1{p0.x + 4.0 / 3.0 * (p1.x - p0.x), p0.y + 4.0 / 3.0 * (p1.y - p0.y)};
  const XY b2{p3.x + 4.0 / 3.0 * (p2.x - p3.x), p3.y + 4.0 / 3.0 * (p2.y - p3.y)};
  const double u = 1.0 - t;
  return {u * u * u * p0.x + 3 * u * u * t * b1.x + 3 * u * t * t * b2.x + t * t * t * p3.x,
          u * u * u * p0.y + 3 * u * u * t * b1.y + 3 * u * t * t * b2.y + t * t * t * p3.y};
}

// Circle through three points; the arc from a through m to e sampled densely.
void arcPoints(XY a, XY m, XY e, int n, std::vector<XY> &out) {
  const double d = 2 * (a.x * (m.y - e.y) + m.x * (e.y - a.y) + e.x * (a.y - m.y));
  const double sa = a.x * a.x + a.y * a.y, sm = m.x * m.x + m.y * m.y, se = e.x * e.x + e.y * e.y;
  const XY c{(sa * (m.y - e.y) + sm * (e.y - a.y) + se * (a.y - m.y)) / d,
             (sa * (e.x - m.x) + sm * (a.x - e.x) + se * (m.x - a.x)) / d};
  const double r = std::hypot(a.x - c.x, a.y - c.y);
  const double t0 = std::atan2(a.y - c.y, a.x - c.x);
  auto sweepTo = [&](XY p) {
    double s = std::atan2(p.y - c.y, p.x - c.x) - t0;
    while (s < 0) s += 2 * M_PI;
    return s;
  };
  double sweep = sweepTo(e);
  if (sweepTo(m) > sweep) sweep -= 2 * M_PI;  // the through point decides the sense
  for (int i = 1; i <= n; ++i) {
    const double t = t0 + sweep * i / n;
    out.push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
  }
}

// Dense polyline of every contour, evaluated independently of the library's flattening.
std::vector<std::vector<XY>> densePolylines(const JVect *path) {
  std::vector<std::vector<XY>> out;
  const std::vector<P> pts = pointsOf(path);
  constexpr int kSamples = 64;
  for (size_t i = 0; i < pts.size(); ++i) {
    const XY p{pts[i].x, pts[i].y};
    switch (pts[i].mode) {
      case JVM_START: out.push_back({p}); break;
      case JVM_LINE: case JVM_SVT: case JVM_SVT_END: out.back().push_back(p); break;
      case JVM_QUAD_END: {
        const XY p0 = out.back().back(), q{pts[i - 1].x, pts[i - 1].y};
        for (int k = 1; k <= kSamples; ++k)
          out.back().push_back(cubicPoint(p0, {(p0.x + q.x) / 2, (p0.y + q.y) / 2},
                                          {(q.x + p.x) / 2, (q.y + p.y) / 2}, p,
                                          static_cast<double>(k) / kSamples));
        break;
      }
      case JVM_BEZ_END: {
        const XY p0 = out.back().back();
        for (int k = 1; k <= kSamples; ++k)
          out.back().push_back(cubicPoint(p0, {pts[i - 2].x, pts[i - 2].y},
                                          {pts[i - 1].x, pts[i - 1].y}, p,
                                          static_cast<double>(k) / kSamples));
        break;
      }
      case JVM_ARC_END:
        arcPoints(out.back().back(), {pts[i - 1].x, pts[i - 1].y}, p, kSamples, out.back());
        break;
      default: break;
    }
  }
  return out;
}

double distanceToPolyline(XY p, const std::vector<XY> &line) {
  double best = INFINITY;
  for (size_t i = 1; i < line.size(); ++i) {
    const XY a = line[i - 1], b = line[i];
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    best = std::fmin(best, std::hypot(p.x + 0.0 - (a.x + t * dx), p.y - (a.y + t * dy)));
  }
  return best;
}

// Largest distance either way between two single-contour paths, over the contour's size.
double relativeDeviation(const JVect *original, const JVect *result) {
  const auto a = densePolylines(original), b = densePolylines(result);
  EXPECT_EQ(a.size(), 1u);
  EXPECT_EQ(b.size(), 1u);
  if (a.size() != 1 || b.size() != 1) return INFINITY;
  double lo[2] = {INFINITY, INFINITY}, hi[2] = {-INFINITY, -INFINITY};
  for (XY p : a[0]) {
    lo[0] = std::fmin(lo[0], p.x), lo[1] = std::fmin(lo[1], p.y);
    hi[0] = std::fmax(hi[0], p.x), hi[1] = std::fmax(hi[1], p.y);
  }
  double worst = 0.0;
  for (XY p : a[0]) worst = std::fmax(worst, distanceToPolyline(p, b[0]));
  for (XY p : b[0]) worst = std::fmax(worst, distanceToPolyline(p, a[0]));
  return worst / std::hypot(hi[0] - lo[0], hi[1] - lo[1]);
}

TEST_F(Convert, BezToSvtWithoutFlattenTurnsAQuadraticIntoACubicSegment) {
  PathPtr path = makePath({{JVM_START, 0, 0}, {JVM_QUAD_CTRL, 2, 2}, {JVM_QUAD_END, 4, 0}});
  ASSERT_EQ(jVectBezToSvt(path.get(), 0), 1);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{JVM_START, 0, 0},
                                                   {JVM_BEZ_CTRL1, 1, 1},
                                                   {JVM_BEZ_CTRL2, 3, 1},
                                                   {JVM_BEZ_END, 4, 0}}));
}

TEST_F(Convert, BezToSvtSubdividesLinesIntoEqualPieces) {
  PathPtr path = makePath({{JVM_START, 0, 0}, {JVM_LINE, 32, 0}});
  ASSERT_EQ(jVectBezToSvt(path.get(), 1), 1);
  const std::vector<P> pts = pointsOf(path.get());
  ASSERT_EQ(pts.size(), 33u);
  for (int k = 1; k <= 31; ++k) EXPECT_EQ(pts[k], (P{JVM_SVT, static_cast<float>(k), 0})) << k;
  EXPECT_EQ(pts[32], (P{JVM_SVT_END, 32, 0}));

  jVectSetCurveRes(4, 3.0f);
  PathPtr alt = makePath({{JVM_START, 0, 0}, {JVM_LINE_ALT, 0, 8}});
  ASSERT_EQ(jVectBezToSvt(alt.get(), 3), 1);
  EXPECT_EQ(modesOf(alt.get()), (std::vector<int>{1, 11, 11, 11, 12}));
}

TEST_F(Convert, BezToSvtFlattensCubicsOntoTheCurve) {
  const XY p0{0, 0}, p1{10, 40}, p2{60, 40}, p3{70, 0};
  PathPtr path = makePath({{JVM_START, 0, 0}, {JVM_BEZ_CTRL1, 10, 40}, {JVM_BEZ_CTRL2, 60, 40},
                           {JVM_BEZ_END_ALT, 70, 0}});
  ASSERT_EQ(jVectBezToSvt(path.get(), 2), 1);
  const std::vector<P> pts = pointsOf(path.get());
  ASSERT_EQ(pts.size(), 33u);
  EXPECT_EQ(pts.back(), (P{JVM_SVT_END, 70, 0}));
  for (int k = 1; k < 32; ++k) {
    EXPECT_EQ(pts[k].mode, JVM_SVT);
    const XY v = cubicPoint(p0, p1, p2, p3, k / 32.0);
    EXPECT_NEAR(pts[k].x, v.x, 1e-4);
    EXPECT_NEAR(pts[k].y, v.y, 1e-4);
  }
  EXPECT_EQ(pts[16].x, 35.0f);  // the middle of the segment is the midpoint of the controls
  EXPECT_EQ(pts[16].y, 40.0f);
}

TEST_F(Convert, BezToSvtKeepsTagsNormalisesVariantsAndDropsUnknownModes) {
  PathPtr path = makePath({{JVM_START, 0, 0, 7},
                           {JVM_LINE_ALT, 5, 0},
                           {0, 99, 99},
                           {57, 98, 98},
                           {JVM_QUAD_CTRL, 5, 5},
                           {JVM_QUAD_END_ALT, 0, 5},
                           {JVM_SVT, 0, 3},
                           {JVM_SVT_END_ALT, 0, 0},
                           {JVM_START, 10, 10, 9},
                           {JVM_ARC_MID, 11, 11},
                           {JVM_ARC_END, 12, 10}});
  ASSERT_EQ(jVectBezToSvt(path.get(), 0), 1);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{JVM_START, 0, 0, 7},
                                                   {JVM_LINE, 5, 0},
                                                   {JVM_BEZ_CTRL1, 5, 2.5},
                                                   {JVM_BEZ_CTRL2, 2.5, 5},
                                                   {JVM_BEZ_END, 0, 5},
                                                   {JVM_SVT, 0, 3},
                                                   {JVM_SVT_END_ALT, 0, 0},
                                                   {JVM_START, 10, 10, 9},
                                                   {JVM_ARC_MID, 11, 11},
                                                   {JVM_ARC_END, 12, 10}}));
}

TEST_F(Convert, BezToSvtFlattensArcsAndTurnsRejectedCirclesIntoTwoPieces) {
  PathPtr path = makePath({{JVM_START, 10, 0}, {JVM_ARC_MID, 7.0710678f, 7.0710678f}, {JVM_ARC_END, 0, 10}});
  jVectSetCurveRes(32, 4.0f);
  ASSERT_EQ(jVectBezToSvt(path.get(), 2), 1);
  const std::vector<P> pts = pointsOf(path.get());
  ASSERT_EQ(pts.size(), 24u);
  for (size_t k = 1; k + 1 < pts.size(); ++k) {
    EXPECT_EQ(pts[k].mode, JVM_SVT);
    EXPECT_NEAR(std::hypot(pts[k].x, pts[k].y), 10.0, 1e-4);
  }
  EXPECT_EQ(pts.back(), (P{JVM_SVT_END, 0, 10}));

  // Collinear and zero-length arcs have no circle: through point and end as a two-piece run.
  PathPtr flat = makePath({{JVM_START, 0, 0}, {JVM_ARC_MID, 1, 1}, {JVM_ARC_END, 2, 2},
                           {JVM_ARC_MID, 2, 2}, {JVM_ARC_END, 2, 2}});
  ASSERT_EQ(jVectBezToSvt(flat.get(), 2), 1);
  EXPECT_EQ(pointsOf(flat.get()), (std::vector<P>{{JVM_START, 0, 0},
                                                   {JVM_SVT, 1, 1},
                                                   {JVM_SVT_END, 2, 2},
                                                   {JVM_SVT, 2, 2},
                                                   {JVM_SVT_END, 2, 2}}));
}

TEST_F(Convert, CurveEndsWithoutControlsUseTheRememberedOnes) {
  PathPtr path = makePath({{JVM_START, 10, 10}, {JVM_BEZ_END, 20, 10}, {JVM_BEZ_CTRL1, 1, 2},
                           {JVM_BEZ_CTRL2, 3, 4}, {JVM_BEZ_END, 5, 6}, {JVM_BEZ_END, 7, 8}});
  ASSERT_EQ(jVectBezToSvt(path.get(), 0), 1);
  EXPECT_EQ(pointsOf(path.get()),
            (std::vector<P>{{JVM_START, 10, 10}, {JVM_BEZ_CTRL1, 0, 0}, {JVM_BEZ_CTRL2, 0, 0},
                            {JVM_BEZ_END, 20, 10}, {JVM_BEZ_CTRL1, 1, 2}, {JVM_BEZ_CTRL2, 3, 4},
                            {JVM_BEZ_END, 5, 6}, {JVM_BEZ_CTRL1, 1, 2}, {JVM_BEZ_CTRL2, 3, 4},
                            {JVM_BEZ_END, 7, 8}}));
  // Coincident controls flatten to the end point alone.
  PathPtr dot = makePath({{JVM_START, 1, 1}, {JVM_BEZ_CTRL1, 1, 1}, {JVM_BEZ_CTRL2, 1, 1}, {JVM_BEZ_END, 1, 1}});
  ASSERT_EQ(jVectBezToSvt(dot.get(), 2), 1);
  EXPECT_EQ(pointsOf(dot.get()), (std::vector<P>{{JVM_START, 1, 1}, {JVM_SVT_END, 1, 1}}));
}

TEST_F(Convert, RebuildsRefuseNullAndOnePointPaths) {
  EXPECT_EQ(jVectBezToSvt(nullptr, 2), 0);
  EXPECT_EQ(jVectArcToBez(nullptr), 0);
  EXPECT_EQ(jVectSvtToBez(nullptr), 0);
  EXPECT_EQ(jVectGetLine(nullptr), 0);
  PathPtr one = makePath({{JVM_START, 3, 4, 5}});
  EXPECT_EQ(jVectBezToSvt(one.get(), 3), 0);
  EXPECT_EQ(jVectArcToBez(one.get()), 0);
  EXPECT_EQ(pointsOf(one.get()), (std::vector<P>{{JVM_START, 3, 4, 5}}));
}

TEST_F(Convert, ArcToBezReplacesArcsByCubicsOnTheCircle) {
  PathPtr path = makePath({{JVM_START, 10, 0, 4}, {JVM_ARC_MID, 0, 10}, {JVM_ARC_END, -10, 0},
                           {JVM_LINE, -10, -5}, {JVM_ARC_MID, 0, -5}, {JVM_ARC_END, 10, -5}});
  ASSERT_EQ(jVectArcToBez(path.get()), 1);
  const std::vector<P> pts = pointsOf(path.get());
  EXPECT_EQ(modesOf(path.get()), (std::vector<int>{1, 41, 42, 43, 41, 42, 43, 2, 2, 2}));
  EXPECT_EQ(pts[0].tag, 4u);
  EXPECT_EQ(pts[6].x, -10.0f);
  EXPECT_EQ(pts[6].y, 0.0f);
  // Both cubic segments follow the circle of radius 10 closely.
  XY from{10, 0};
  for (int seg = 0; seg < 2; ++seg) {
    const int b = 1 + 3 * seg;
    for (int k = 0; k <= 20; ++k) {
      const XY v = cubicPoint(from, {pts[b].x, pts[b].y}, {pts[b + 1].x, pts[b + 1].y},
                              {pts[b + 2].x, pts[b + 2].y}, k / 20.0);
      EXPECT_NEAR(std::hypot(v.x, v.y), 10.0, 0.01);
      EXPECT_GE(v.y, -1e-4);
    }
    from = {pts[b + 2].x, pts[b + 2].y};
  }
  EXPECT_EQ(pts[8], (P{JVM_LINE, 0, -5}));
  EXPECT_EQ(pts[9], (P{JVM_LINE, 10, -5}));
}

TEST_F(Convert, SvtToBezFitsASingleCurveToASmoothRun) {
  PathPtr path = makePath({{JVM_START, 0, 0}, {JVM_BEZ_CTRL1, 10, 40}, {JVM_BEZ_CTRL2, 60, 40},
                           {JVM_BEZ_END, 70, 0}});
  ASSERT_EQ(jVectBezToSvt(path.get(), 2), 1);
  ASSERT_EQ(jVectSvtToBez(path.get()), 1);
  const std::vector<P> pts = pointsOf(path.get());
  EXPECT_EQ(modesOf(path.get()), (std::vector<int>{1, 41, 42, 43}));
  EXPECT_EQ(pts[3].x, 70.0f);
  EXPECT_NEAR(pts[1].x, 10, 1.0);
  EXPECT_NEAR(pts[1].y, 40, 1.0);
  EXPECT_NEAR(pts[2].x, 60, 1.0);
  EXPECT_NEAR(pts[2].y, 40, 1.0);
}

// A flattened run through the given points.
PathPtr runThrough(std::initializer_list<XY> points) {
  PathPtr path(jVectOpen(16));
  for (const XY &p : points)
    jVectAddPoint(path.get(), JVECT_LAST, jVectGetNum(path.get()) == 0 ? JVM_START : JVM_SVT,
                  static_cast<float>(p.x), static_cast<float>(p.y));
  jVectSetMode(path.get(), JVECT_LAST, JVM_SVT_END);
  return path;
}

TEST_F(Convert, SvtToBezSplitsRunsAtRenewedTurnsAndInflections) {
  // One 14-degree vertex at (60, 0) followed by an exactly collinear stretch: the vertex sets
  // the bend flag, the stretch the ease flag, and the run is fitted whole.
  PathPtr single = runThrough({{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}, {60, 0},
                               {64, 1}, {68, 2}});
  ASSERT_EQ(jVectSvtToBez(single.get()), 1);
  EXPECT_EQ(modesOf(single.get()), (std::vector<int>{1, 41, 42, 43}));

  // A second vertex at (68, 2) turns again after the easing: the run splits there.
  PathPtr twice = runThrough({{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}, {50, 0}, {60, 0},
                              {64, 1}, {68, 2}, {70, 3}, {72, 4}});
  ASSERT_EQ(jVectSvtToBez(twice.get()), 1);
  const std::vector<P> pts = pointsOf(twice.get());
  ASSERT_EQ(modesOf(twice.get()), (std::vector<int>{1, 41, 42, 43, 31, 32}));
  EXPECT_EQ(pts[3].x, 68.0f);
  EXPECT_EQ(pts[3].y, 2.0f);

  // Gentle left turns, one sharp left turn that sets the bend flag, then right turns: the run
  // splits at the first vertex that turns the other way.
  PathPtr wave(jVectOpen(16));
  XY at{0, 0};
  jVectAddPoint(wave.get(), JVECT_LAST, JVM_START, 0, 0);
  P flip{};
  const std::pair<int, double> legs[] = {{0, 10}, {2, 10}, {4, 10}, {6, 10}, {8, 10},
                                         {10, 10}, {30, 1}, {25, 10}, {20, 10}};
  for (auto [heading, length] : legs) {
    at = {at.x + length * std::cos(heading * M_PI / 180), at.y + length * std::sin(heading * M_PI / 180)};
    jVectAddPoint(wave.get(), JVECT_LAST, JVM_SVT, static_cast<float>(at.x), static_cast<float>(at.y));
    if (heading == 30) flip = pointsOf(wave.get()).back();
  }
  jVectSetMode(wave.get(), JVECT_LAST, JVM_SVT_END);
  ASSERT_EQ(jVectSvtToBez(wave.get()), 1);
  const std::vector<P> waved = pointsOf(wave.get());
  ASSERT_GE(waved.size(), 3u);
  const P &end = waved[waved.size() - 3];
  EXPECT_EQ(end.mode, JVM_BEZ_END);
  EXPECT_EQ(end.x, flip.x);
  EXPECT_EQ(end.y, flip.y);
}

TEST_F(Convert, SvtToBezLeavesUnterminatedRunsAndFitsShortOnes) {
  PathPtr open = makePath({{JVM_START, 0, 0}, {JVM_SVT, 1, 2}, {JVM_SVT, 2, 3}, {JVM_SVT, 4, 3},
                           {JVM_SVT, 6, 1}});
  const std::vector<P> before = pointsOf(open.get());
  ASSERT_EQ(jVectSvtToBez(open.get()), 1);
  EXPECT_EQ(pointsOf(open.get()), before);

  // Three points become a quadratic through the point on the ray to the middle point at half
  // the chord's length; a run along one axis becomes a line.
  PathPtr shortRuns = makePath({{JVM_START, 0, 0}, {JVM_SVT, 5, 5}, {JVM_SVT_END, 10, 0},
                                {JVM_SVT, 10, 3}, {JVM_SVT, 10, 4}, {JVM_SVT_END, 10, 9}});
  ASSERT_EQ(jVectSvtToBez(shortRuns.get()), 1);
  const std::vector<P> pts = pointsOf(shortRuns.get());
  EXPECT_EQ(modesOf(shortRuns.get()), (std::vector<int>{1, 31, 32, 2}));
  const double q = 5.0 / std::sqrt(2.0);
  EXPECT_NEAR(pts[1].x, 2 * q - 5, 1e-5);
  EXPECT_NEAR(pts[1].y, 2 * q, 1e-5);
  EXPECT_EQ(pts[3], (P{JVM_LINE, 10, 9}));
}

TEST_F(Convert, GetLineDropsAxisCollinearPointsAndStraightensFlatCurves) {
  PathPtr vertical = makePath({{JVM_START, 0, 0}, {JVM_LINE, 0, 5}, {JVM_LINE, 0, 10}});
  ASSERT_EQ(jVectGetLine(vertical.get()), 1);
  EXPECT_EQ(pointsOf(vertical.get()), (std::vector<P>{{JVM_START, 0, 0}, {JVM_LINE, 0, 10}}));

  PathPtr diagonal = makePath({{JVM_START, 0, 0}, {JVM_LINE, 1, 1}, {JVM_LINE, 2, 2}});
  const std::vector<P> before = pointsOf(diagonal.get());
  ASSERT_EQ(jVectGetLine(diagonal.get()), 1);
  EXPECT_EQ(pointsOf(diagonal.get()), before);

  PathPtr flat = makePath({{JVM_START, 0, 0}, {JVM_BEZ_CTRL1, 3, 3}, {JVM_BEZ_CTRL2, 7, 7},
                           {JVM_BEZ_END, 10, 10}, {JVM_QUAD_CTRL, 15, 15}, {JVM_QUAD_END_ALT, 20, 20},
                           {JVM_BEZ_CTRL1, 22, 25}, {JVM_BEZ_CTRL2, 28, 25}, {JVM_BEZ_END, 30, 20}});
  ASSERT_EQ(jVectGetLine(flat.get()), 1);
  EXPECT_EQ(pointsOf(flat.get()), (std::vector<P>{{JVM_START, 0, 0},
                                                   {JVM_LINE, 10, 10},
                                                   {JVM_LINE, 20, 20},
                                                   {JVM_BEZ_CTRL1, 22, 25},
                                                   {JVM_BEZ_CTRL2, 28, 25},
                                                   {JVM_BEZ_END, 30, 20}}));

  // A curve end without its controls in front of it is left alone, and nothing before the
  // path's start is touched.
  PathPtr bare = makePath({{JVM_BEZ_END, 0, 0}, {JVM_START, 0, 0}, {JVM_BEZ_END, 5, 5}});
  const std::vector<P> bareBefore = pointsOf(bare.get());
  ASSERT_EQ(jVectGetLine(bare.get()), 1);
  EXPECT_EQ(pointsOf(bare.get()), bareBefore);
}

// Flattening, refitting and tidying returns each curve within a small distance of itself.
TEST_F(Convert, RoundTripStaysNearTheOriginalCurve) {
  const std::vector<std::vector<P>> contours = {
      // Cubic blob.
      {{JVM_START, 0, 0}, {JVM_BEZ_CTRL1, 30, -20}, {JVM_BEZ_CTRL2, 70, -20}, {JVM_BEZ_END, 100, 0},
       {JVM_BEZ_CTRL1, 120, 30}, {JVM_BEZ_CTRL2, 90, 80}, {JVM_BEZ_END, 50, 80},
       {JVM_BEZ_CTRL1, 20, 80}, {JVM_BEZ_CTRL2, -20, 30}, {JVM_BEZ_END, 0, 0}},
      // Quadratic glyph-like outline with a straight side.
      {{JVM_START, 0, 0}, {JVM_LINE, 200, 0}, {JVM_QUAD_CTRL, 260, 100}, {JVM_QUAD_END, 200, 200},
       {JVM_QUAD_CTRL, 100, 260}, {JVM_QUAD_END, 0, 200}, {JVM_QUAD_CTRL, -40, 100}, {JVM_QUAD_END, 0, 0}},
      // Circle of two arcs.
      {{JVM_START, 50, 0}, {JVM_ARC_MID, 0, 50}, {JVM_ARC_END, -50, 0}, {JVM_ARC_MID, 0, -50},
       {JVM_ARC_END, 50, 0}},
  };
  for (size_t c = 0; c < contours.size(); ++c) {
    PathPtr original(jVectOpen(16));
    for (const P &p : contours[c])
      jVectAddPoint(original.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
    PathPtr path(jVectDuplicate(original.get()));
    ASSERT_EQ(jVectBezToSvt(path.get(), 2), 1);
    ASSERT_EQ(jVectSvtToBez(path.get()), 1);
    ASSERT_EQ(jVectGetLine(path.get()), 1);
    ASSERT_EQ(jVectCheckLoop(path.get()), 1) << c;
    // A piece is accepted when its mean error is within 1% of its two half-chords, each at
    // most the contour's diagonal, and flattening into 32 pieces or 3-degree steps loses far
    // less; the worst point of a piece lies up to about twice its mean away, so 2% of the
    // diagonal bounds the round trip (a circle of two arcs comes back at about 1%).
    const double deviation = relativeDeviation(original.get(), path.get());
    EXPECT_LT(deviation, 0.02) << c;
    RecordProperty("deviation" + std::to_string(c), std::to_string(deviation));
  }
}

TEST_F(Convert, NonFiniteCoordinatesPassWithoutFault) {
  PathPtr path = makePath({{JVM_START, 0, 0}, {JVM_BEZ_CTRL1, NAN, 1}, {JVM_BEZ_CTRL2, 2, INFINITY},
                           {JVM_BEZ_END, 3, 0}, {JVM_ARC_MID, NAN, NAN}, {JVM_ARC_END, 5, 5},
                           {JVM_LINE, -INFINITY, 2}, {JVM_LINE, 0, 0}},
                          4);
  EXPECT_EQ(jVectBezToSvt(path.get(), 3), 1);
  EXPECT_EQ(jVectSvtToBez(path.get()), 1);
  EXPECT_EQ(jVectGetLine(path.get()), 1);
  EXPECT_LE(jVectGetNum(path.get()), path->capacity);
}

// Runs op with the nth allocation failing, n = 1, 2, ... until it succeeds unhurt; every
// failure must refuse with 0 and leave the path exactly as it was.
template <typename Op>
void failEachAllocation(const std::vector<P> &points, int32_t capacity, Op op) {
  for (int32_t n = 1;; ++n) {
    PathPtr path(jVectOpen(capacity));
    for (const P &p : points) jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
    const std::vector<P> before = pointsOf(path.get());
    const int32_t capacityBefore = path->capacity;
    jMemTestFailNth(n);
    const int32_t result = op(path.get());
    const bool fired = jMemTestArmed() == 0;
    jMemTestFailNth(0);
    if (!fired) {
      EXPECT_EQ(result, 1);
      break;
    }
    if (result == 0) {
      EXPECT_EQ(pointsOf(path.get()), before) << n;
      EXPECT_EQ(path->capacity, capacityBefore) << n;
    }
    ASSERT_LT(n, 50);
  }
}

TEST_F(Convert, AllocationFailuresLeaveThePathUnchanged) {
  const std::vector<P> curves = {{JVM_START, 0, 0}, {JVM_BEZ_CTRL1, 10, 40}, {JVM_BEZ_CTRL2, 60, 40},
                                 {JVM_BEZ_END, 70, 0}, {JVM_ARC_MID, 35, -30}, {JVM_ARC_END, 0, 0}};
  failEachAllocation(curves, 8, [](JVect *p) { return jVectBezToSvt(p, 2); });
  failEachAllocation(curves, 8, [](JVect *p) { return jVectArcToBez(p); });
  PathPtr flat(jVectOpen(8));
  for (const P &p : curves) jVectAddPoint(flat.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
  ASSERT_EQ(jVectBezToSvt(flat.get(), 2), 1);
  failEachAllocation(pointsOf(flat.get()), 8, [](JVect *p) { return jVectSvtToBez(p); });
}

}  // namespace
