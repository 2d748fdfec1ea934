// The program's readers and writers against each other and against hand-computed geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "json_io.h"
#include "outline_io.h"
#include "support/path_builder.h"
#include "svg_reader.h"
#include "svg_writer.h"
#include "text_layout.h"

using namespace outlina::cli;

namespace {

using namespace testing_support;

PathPtr readSvg(const std::string &text) {
  PathPtr path(jVectOpen(64));
  std::string error;
  EXPECT_TRUE(readSvgText(text, path.get(), error)) << error;
  return path;
}

std::string wrap(const std::string &body) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\">" + body + "</svg>";
}

}  // namespace

TEST(SvgReader, ShapesTransformsAndCurvesBecomeLibraryPointsWithYTurnedUp) {
  const std::pair<const char *, Points> cases[] = {
      {"<rect x='1' y='2' width='3' height='4'/>",
       {{1, 1, -2}, {2, 4, -2}, {2, 4, -6}, {2, 1, -6}, {2, 1, -2}}},
      // translate(10,0) scale(2): the point (1, 1) becomes (12, 2), drawn at y = -2.
      {"<g transform='translate(10,0)'><path transform='scale(2)' d='M1 1 L2 1'/></g>",
       {{1, 12, -2}, {2, 14, -2}}},
      // Cubic handles go to the three-quarter form; smooth curves reflect the last control.
      {"<path d='M0 0 C4 0 8 4 8 8'/>", {{1, 0, 0}, {41, 3, 0}, {42, 8, -5}, {43, 8, -8}}},
      {"<path d='M0 0 Q1 1 2 0 T4 0'/>",
       {{1, 0, 0}, {31, 1, -1}, {32, 2, 0}, {31, 3, 1}, {32, 4, 0}}},
  };
  for (const auto &[body, expected] : cases)
    EXPECT_EQ(pointsOf(readSvg(wrap(body)).get()), expected);
}

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
