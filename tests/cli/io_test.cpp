// The program's JSON reader against its writer.
#include <gtest/gtest.h>

#include <string>

#include "json_io.h"
#include "support/path_builder.h"

using namespace outlina::cli;

using namespace testing_support;

TEST(JsonIo, RoundTripKeepsEveryFieldAndRejectsBadRecords) {
  PathPtr original = makePath({{1, 0.5f, -2, 7}, {44, 1e6f, 3, 0}, {0, 0, 0, 4294967295u}});
  PathPtr back(jVectOpen(4));
  std::string error;
  ASSERT_TRUE(readJsonText(jsonFromPath(original.get()), back.get(), error)) << error;
  EXPECT_EQ(pointsOf(back.get()), pointsOf(original.get()));
  for (const char *bad : {R"({"format":"outlina-points","points":[[1,2]]})", "[",
                          R"({"format":"other","points":[]})"})
    EXPECT_FALSE(readJsonText(bad, back.get(), error)) << bad;
}
