#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <polyclipping/clipper.hpp>

#include "outlina.h"
#include "support/measure.h"
#include "support/text_workload.h"

namespace {

using namespace testing_support;

struct Union {
  int outlines = 0;  // one outer contour per connected group of ink
  double area = 0;
};

// Clipper's union of the flattened text: the independent count of connected groups.
Union clipperUnion(const JVect *path) {
  PathPtr flat(jVectDuplicate(path));
  jVectBezToSvt(flat.get(), 2);
  ClipperLib::Paths polygons;
  const JVectPoint *v = jVectGetVd(flat.get());
  for (int32_t i = 0; i < jVectGetNum(flat.get()); ++i) {
    if (v[i].mode == JVM_START) polygons.emplace_back();
    polygons.back().push_back({std::llround(v[i].x), std::llround(v[i].y)});
  }
  ClipperLib::Clipper clipper;
  clipper.AddPaths(polygons, ClipperLib::ptSubject, true);
  ClipperLib::Paths out;
  clipper.Execute(ClipperLib::ctUnion, out, ClipperLib::pftNegative, ClipperLib::pftNegative);
  Union u;
  for (const auto &p : out) {
    const double a = ClipperLib::Area(p);
    u.outlines += a > 0;
    u.area += a;
  }
  return u;
}

TEST(WeldExecuteText, WeldsEachConnectedGroupOfLettersIntoOneCurvedOutline) {
  PathPtr path(jVectOpen(16));
  ASSERT_GT(testing_support::setOverlappingText(path.get()), 150);
  const Union expected = clipperUnion(path.get());
  ASSERT_EQ(jWeldExecute(JWM_UNION, path.get()), 1);

  int outer = 0, cubics = 0, flattened = 0;
  const JVectPoint *v = jVectGetVd(path.get());
  for (int32_t i = 0; i < jVectGetNum(path.get()); ++i) {
    if (v[i].mode == JVM_START) outer += jVectGetLoopDir(path.get(), i) == 1;
    cubics += v[i].mode == JVM_BEZ_END;
    flattened += v[i].mode == JVM_SVT || v[i].mode == JVM_SVT_END;
  }
  EXPECT_EQ(outer, expected.outlines);
  EXPECT_GT(cubics, 1000) << "curves are fitted again";
  EXPECT_EQ(flattened, 0);

  // Outer contours run clockwise, so the enclosed area is the negated shoelace sum; refitting
  // moves the outline by a fraction of a unit.
  EXPECT_NEAR(-testing_support::measure(path.get()).area, expected.area, 2e-3 * expected.area);
}

}  // namespace
