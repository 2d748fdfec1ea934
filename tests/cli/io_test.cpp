// The program's JSON reader against its writer, and its text encoding.
#include <gtest/gtest.h>

#include <string>

#include "json_io.h"
#include "support/path_builder.h"
#include "text_layout.h"

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

TEST(TextEncoding, ShiftJisCodesAndCharactersItCannotHold) {
  std::vector<CodedChar> chars;
  std::string error;
  ASSERT_TRUE(encodeShiftJis("Aあ亜\xF0\x9F\x98\x80", chars, error));
  std::vector<unsigned> codes;
  for (const CodedChar &c : chars) codes.push_back(c.code);
  EXPECT_EQ(codes, (std::vector<unsigned>{0x41, 0x82A0, 0x889F, 0}));  // an emoji has no code
  EXPECT_FALSE(encodeShiftJis("\xE3\x81", chars, error));
}
