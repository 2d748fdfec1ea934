// Every effect run on the standard text at a realistic size, each result checked for a sane
// shape and saved as an SVG for a person to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "outlina.h"
#include "support/text_workload.h"
#include "svg_writer.h"

namespace {

// Glyph cells are 10000 units high; this makes them 10 mm characters.
constexpr float kUnitsToMm = 0.001f;
constexpr double kSvgMarginMm = 2.0;
// Curve refits may leave an extreme up to this far from the exact flattened outline.
constexpr double kFitSlackMm = 0.05;
// A round join whose offset sides meet within sqrt(0.1) units of their ends is drawn as the
// sharp corner, so at millimetre sizes such corners reach hypot(distance, sqrt(0.1)).
constexpr double kRoundJoinSharpSide2 = 0.1;
double roundJoinReach(double distance) {
  return std::sqrt(distance * distance + kRoundJoinSharpSide2);
}

struct Shape {
  double area = 0;        // net area of the closed contours, flattened
  double openLength = 0;  // length of the open contours
  int openContours = 0;
  float box[4] = {};
};

// Flattens a copy and measures it: shoelace per closed contour, length per open one.
Shape measure(const JVect *path) {
  Shape s;
  jVectGetMinMax(s.box, path, JVECT_ALL);
  JVect *flat = jVectDuplicate(path);
  if (flat == nullptr) return s;
  jVectBezToSvt(flat, 2);
  const JVectPoint *v = jVectGetVd(flat);
  const int32_t n = jVectGetNum(flat);
  double signedArea = 0;
  for (int32_t start = 0; start < n;) {
    int32_t end = start + 1;
    while (end < n && v[end].mode != JVM_START) ++end;
    const bool closed =
        end - start >= 3 && v[end - 1].x == v[start].x && v[end - 1].y == v[start].y;
    for (int32_t i = start + 1; i < end; ++i) {
      const double x0 = v[i - 1].x, y0 = v[i - 1].y, x1 = v[i].x, y1 = v[i].y;
      if (closed)
        signedArea += 0.5 * (x0 * y1 - x1 * y0);
      else
        s.openLength += std::hypot(x1 - x0, y1 - y0);
    }
    s.openContours += closed ? 0 : 1;
    start = end;
  }
  s.area = std::fabs(signedArea);
  jVectClose(flat);
  return s;
}

// Total length of every contour's outline: what a dash or a widen band runs along.
double perimeter(const JVect *path) {
  JVect *flat = jVectDuplicate(path);
  jVectBezToSvt(flat, 2);
  const JVectPoint *v = jVectGetVd(flat);
  double length = 0;
  for (int32_t i = 1; i < jVectGetNum(flat); ++i)
    if (v[i].mode != JVM_START) length += std::hypot(v[i].x - v[i - 1].x, v[i].y - v[i - 1].y);
  jVectClose(flat);
  return length;
}

class EffectsOnText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    text_ = jVectOpen(16);
    glyphs_ = testing_support::setTextWorkload(text_, 1.0);
    jVectScale(text_, kUnitsToMm);
    input_ = measure(text_);
    perimeter_ = perimeter(text_);
  }
  static void TearDownTestSuite() { jVectClose(text_); }

  void SetUp() override {
    ASSERT_GE(glyphs_, 150) << "IPAGothic is needed to set the text";
    path_ = jVectDuplicate(text_);
    ASSERT_NE(path_, nullptr);
  }
  void TearDown() override { jVectClose(path_); }

  // Saves the result and measures it; a result must have points and finite bounds.
  Shape finish(const std::string &name) {
    std::ofstream(std::string(OUTLINA_CLI_OUTPUT_DIR) + "/effect_" + name + ".svg")
        << outlina::cli::svgFromPath(path_, kSvgMarginMm);
    const Shape s = measure(path_);
    EXPECT_GT(jVectGetNum(path_), 0) << name;
    for (float b : s.box) EXPECT_TRUE(std::isfinite(b)) << name;
    return s;
  }
  // Each side of the box moved outward by grow (inward when negative), within the slack.
  static void expectBoxGrown(const Shape &s, double growLow, double growHigh, const char *what) {
    const double grown[4] = {input_.box[0] - s.box[0], input_.box[1] - s.box[1],
                             s.box[2] - input_.box[2], s.box[3] - input_.box[3]};
    for (int i = 0; i < 4; ++i) {
      EXPECT_GE(grown[i], growLow - kFitSlackMm) << what << " side " << i;
      EXPECT_LE(grown[i], growHigh + kFitSlackMm) << what << " side " << i;
    }
  }

  static JVect *text_;
  static int glyphs_;
  static Shape input_;
  static double perimeter_;
  JVect *path_ = nullptr;
};

JVect *EffectsOnText::text_ = nullptr;
int EffectsOnText::glyphs_ = 0;
Shape EffectsOnText::input_;
double EffectsOnText::perimeter_ = 0;

TEST_F(EffectsOnText, WeldKeepsTheAreaOfGlyphsThatDoNotOverlap) {
  ASSERT_EQ(jWeldExecute(JWM_UNION, path_), 1);
  const Shape s = finish("weld_union");
  EXPECT_NEAR(s.area, input_.area, 0.01 * input_.area);
  expectBoxGrown(s, 0, 0, "weld");
}

TEST_F(EffectsOnText, OffsetMovesEverySideByTheDistance) {
  constexpr float kDistance = 0.3f, kInward = 0.15f;
  constexpr float kMiterLimit = 4.0f;
  struct Case {
    const char *name;
    int32_t side, joint;
  } cases[] = {{"offset_out_round", 0, JVJ_ROUND},
               {"offset_out_miter", 0, JVJ_MITER},
               {"offset_in_round", 1, JVJ_ROUND},
               {"offset_in_miter", 1, JVJ_MITER}};
  for (const Case &c : cases) {
    jVectCopy(path_, text_);
    const float d = c.side == 0 ? kDistance : kInward;
    const JWeldOffsetParam r{d, c.side, 0, 0, c.joint, kMiterLimit, 0, 1};
    ASSERT_EQ(jWeldOffset(&r, path_), 1) << c.name;
    const Shape s = finish(c.name);
    if (c.side == 0) {
      expectBoxGrown(s, d, c.joint == JVJ_ROUND ? roundJoinReach(d) : kMiterLimit * d, c.name);
      EXPECT_GT(s.area, input_.area + 0.5 * d * perimeter_) << c.name;
    } else {
      // Thin strokes lose about the distance on both sides, more where they vanish.
      EXPECT_GT(s.area, 0.2 * input_.area) << c.name;
      EXPECT_LT(s.area, input_.area - 0.5 * d * perimeter_) << c.name;
      expectBoxGrown(s, -4 * d, -d, c.name);
    }
  }
}

TEST_F(EffectsOnText, WidenCoversABandAlongEveryOutline) {
  constexpr float kWidth = 0.2f;
  for (int32_t cap : {JVC_SQUARE, JVC_ROUND, JVC_FLAT}) {
    const std::string name = "widen_cap" + std::to_string(cap);
    jVectCopy(path_, text_);
    const JWeldWidenParam r{kWidth, cap, JVJ_ROUND, 4.0f, 1};
    ASSERT_EQ(jWeldWiden(&r, path_), 1) << name;
    const Shape s = finish(name);
    expectBoxGrown(s, kWidth / 2, roundJoinReach(kWidth / 2), name.c_str());
    // Bands overlap only where strokes come closer than the width.
    EXPECT_LT(s.area, 1.05 * kWidth * perimeter_) << name;
    EXPECT_GT(s.area, 0.8 * kWidth * perimeter_) << name;
  }
}

TEST_F(EffectsOnText, DashKeepsItsShareOfEveryOutline) {
  const float pattern[6] = {0.6f, 0.3f, 0, 0, 0, 0};
  ASSERT_EQ(jVectDash(path_, 2, pattern), 1);
  const Shape s = finish("dash");
  EXPECT_GT(s.openContours, 1000);
  // Each contour ends in a part of a period, so the share is near 2/3, not exact.
  EXPECT_NEAR(s.openLength, perimeter_ * 2 / 3, 0.05 * perimeter_);
  expectBoxGrown(s, -0.3, 0, "dash");
}

TEST_F(EffectsOnText, StripeKeepsBandsOfTheGlyphs) {
  constexpr float kStripe = 0.4f, kSlit = 0.2f;
  for (int32_t direction : {0, 1, 2}) {
    const std::string name = "stripe_dir" + std::to_string(direction);
    jVectCopy(path_, text_);
    const JWeldStripeParam r{kStripe, kSlit, direction, 30.0f, 1};
    ASSERT_EQ(jWeldStripe(&r, path_), 1) << name;
    const Shape s = finish(name);
    // Bands cross the glyphs at random phases, so on 200 glyphs the kept share is near 2/3.
    EXPECT_NEAR(s.area, input_.area * kStripe / (kStripe + kSlit), 0.1 * input_.area) << name;
    expectBoxGrown(s, -kSlit - kFitSlackMm, 0, name.c_str());
  }
}

TEST_F(EffectsOnText, ShadowsReachTheirDisplacement) {
  constexpr float kShift = 1.0f, kOffset = 0.3f;
  struct Case {
    const char *name;
    int32_t type, option;
  } cases[] = {{"shadow_block", JWST_BLOCK, 0},
               {"shadow_drop", JWST_DROP, 0},
               {"shadow_cast", JWST_CAST, 0},
               {"shadow_perspective", JWST_PERSPECTIVE, 0},
               {"shadow_drop_cutout", JWST_DROP, 1},
               {"shadow_block_offset", JWST_BLOCK, 3},
               {"shadow_drop_offset_holes", JWST_DROP, 4}};
  for (const Case &c : cases) {
    jVectCopy(path_, text_);
    const JWeldShadowParam r{c.type, c.option, kShift, -kShift, 50.0f, kOffset, 0, 0, 1};
    ASSERT_EQ(jWeldShadow(&r, path_), 1) << c.name;
    const Shape s = finish(c.name);
    EXPECT_GT(s.area, 0) << c.name;
    const float *in = input_.box;
    if (c.type == JWST_CAST) {
      // The top line slides right by dx and the shape folds down to dy below the bottom line.
      EXPECT_NEAR(s.box[2], in[2] + kShift, 0.5) << c.name;
      EXPECT_NEAR(s.box[1], in[1] - kShift, kFitSlackMm) << c.name;
      EXPECT_GT(s.area, input_.area) << c.name;
    } else if (c.type == JWST_PERSPECTIVE) {
      // The far face is half size around the centre, so the outlines themselves bound it.
      expectBoxGrown(s, 0, 0, c.name);
      EXPECT_GT(s.area, input_.area) << c.name;
    } else if (c.option == 1) {
      // The moved copy alone, with the outlines cut out of it.
      EXPECT_NEAR(s.box[2], in[2] + kShift, kFitSlackMm) << c.name;
      EXPECT_NEAR(s.box[1], in[1] - kShift, kFitSlackMm) << c.name;
      EXPECT_GE(s.box[0], in[0] + kShift - kFitSlackMm) << c.name;
      EXPECT_LE(s.box[3], in[3] - kShift + kFitSlackMm) << c.name;
      EXPECT_LT(s.area, input_.area) << c.name;
    } else {
      // The offset step joins with mitres up to four times the distance.
      const double low = c.option >= 3 ? kOffset : 0, high = c.option >= 3 ? 4 * kOffset : 0;
      const double mid = (low + high) / 2, tolerance = (high - low) / 2 + kFitSlackMm;
      EXPECT_NEAR(s.box[0], in[0] - mid, tolerance) << c.name;
      EXPECT_NEAR(s.box[3], in[3] + mid, tolerance) << c.name;
      EXPECT_NEAR(s.box[2], in[2] + kShift + mid, tolerance) << c.name;
      EXPECT_NEAR(s.box[1], in[1] - kShift - mid, tolerance) << c.name;
      EXPECT_GT(s.area, input_.area) << c.name;
    }
  }
}

TEST_F(EffectsOnText, EnvelopesStayNearTheirReferenceBox) {
  for (int32_t type : {1, 5, 9, 17, 32}) {
    const std::string name = "shape_" + std::to_string(type);
    jVectCopy(path_, text_);
    const float *in = input_.box;
    const JVectransShapeParam r{type, 60, in[0], in[1], in[2], in[3]};
    ASSERT_EQ(jVectransShapeEffect(&r, path_), 1) << name;
    const Shape s = finish(name);
    EXPECT_GT(s.area, 0.3 * input_.area) << name;
    // The strongest shape moves a point by a quarter of the box; 60 % of that stays inside this.
    const double w = in[2] - in[0], h = in[3] - in[1], reach = 0.25 * 0.6 * std::max(w, h) * 2;
    EXPECT_GE(s.box[0], in[0] - reach) << name;
    EXPECT_LE(s.box[2], in[2] + reach) << name;
    EXPECT_GE(s.box[1], in[1] - reach) << name;
    EXPECT_LE(s.box[3], in[3] + reach) << name;
  }
}

TEST_F(EffectsOnText, PathOffsetAndWidenMoveTheBoxByTheirReach) {
  constexpr float kDistance = 0.25f, kWidth = 0.3f;
  ASSERT_EQ(jVectOffsetPath(path_, kDistance, JVC_ROUND, JVJ_ROUND, 4.0f, JVO_BOTH), 1);
  Shape s = finish("path_offset");
  expectBoxGrown(s, kDistance, roundJoinReach(kDistance), "path offset");
  EXPECT_GT(s.area, input_.area + 0.5 * kDistance * perimeter_);

  jVectCopy(path_, text_);
  ASSERT_EQ(jVectWidenPath(path_, kWidth, JVC_ROUND, JVJ_ROUND, 4.0f), 1);
  s = finish("path_widen");
  expectBoxGrown(s, kWidth / 2, roundJoinReach(kWidth / 2), "path widen");
  EXPECT_GT(s.area, 0);
}

}  // namespace
