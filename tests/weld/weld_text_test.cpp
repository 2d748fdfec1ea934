// The weld on the standard text against Clipper's union.
#include <gtest/gtest.h>

#include <polyclipping/clipper.hpp>
#include <span>

#include "outlina.h"
#include "support/measure.h"
#include "support/text_workload.h"

namespace {

using namespace testing_support;

TEST(WeldExecuteText, WeldsEachConnectedGroupOfLettersIntoOneCurvedOutline) {
  PathPtr path(jVectOpen(16));
  ASSERT_GT(setOverlappingText(path.get()), 150);
  // Clipper's union of the flattened text counts the connected groups independently.
  PathPtr flat(jVectDuplicate(path.get()));
  jVectBezToSvt(flat.get(), 2);
  ClipperLib::Paths polygons, united;
  for (const JVectPoint &v : std::span(jVectGetVd(flat.get()), jVectGetNum(flat.get()))) {
    if (v.mode == JVM_START) polygons.emplace_back();
    polygons.back().push_back({std::llround(v.x), std::llround(v.y)});
  }
  ClipperLib::Clipper clipper;
  clipper.AddPaths(polygons, ClipperLib::ptSubject, true);
  clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNegative, ClipperLib::pftNegative);
  int groups = 0;
  double area = 0;
  for (const auto &p : united) {
    groups += ClipperLib::Area(p) > 0;
    area += ClipperLib::Area(p);
  }

  ASSERT_EQ(jWeldExecute(JWM_UNION, path.get()), 1);
  int outer = 0, cubics = 0, flattened = 0;
  for (int32_t i = 0; i < jVectGetNum(path.get()); ++i) {
    const int16_t mode = jVectGetVd(path.get())[i].mode;
    if (mode == JVM_START) outer += jVectGetLoopDir(path.get(), i) == 1;
    cubics += mode == JVM_BEZ_END;
    flattened += mode == JVM_SVT || mode == JVM_SVT_END;
  }
  EXPECT_EQ(outer, groups);
  EXPECT_GT(cubics, 1000) << "curves are fitted again";
  EXPECT_EQ(flattened, 0);
  // Outer contours run clockwise, so the enclosed area is the negated shoelace sum; refitting
  // moves the outline by a fraction of a unit.
  EXPECT_NEAR(-measure(path.get()).area, area, 2e-3 * area);
}

}  // namespace
