// Prints a digest of what every public operation makes of a fixed pseudo-random corpus (paths
// with every segment kind and glyphs of an installed font): one line per operation and one over
// all of them. Builds made by other compilers or at other optimisation levels must print the
// same lines; a difference means a stored float rounding went missing somewhere.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <span>
#include <vector>

#include "outlina.h"
#include "support/operations.h"
#include "support/path_builder.h"

namespace {

using testing_support::PathPtr;

constexpr int kRandomPaths = 32;
// The curve resolution every operation but the flattening runs at.
constexpr int32_t kDivisions = 32;
constexpr float kAngle = 3.0f;
// Glyph coordinates come in 10000 units per cell; this brings them to the corpus' scale.
constexpr float kGlyphScale = 0.01f;
// Kanji of row 16 and full-width letters: curves, corners and holes.
constexpr uint32_t kGlyphCodes[] = {0x889F, 0x88A0, 0x88A1, 0x88A2, 0x88A3, 0x8260, 0x8281, 0x8282};

// FNV-1a over the results as doubles. The sign and payload of a NaN depend on the instruction
// that made it, so all NaNs hash alike.
class Digest {
 public:
  void add(double v) {
    if (std::isnan(v)) v = std::numeric_limits<double>::quiet_NaN();
    uint8_t bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    for (uint8_t b : bytes) value_ = (value_ ^ b) * kFnvPrime;
  }
  void add(const float *values, int n) {
    for (int i = 0; i < n; ++i) add(values[i]);
  }
  void add(const JVect *path) {
    add(jVectGetNum(path));
    for (const JVectPoint &p : std::span(jVectGetVd(path), jVectGetNum(path)))
      for (double v : {double(p.mode), double{p.x}, double{p.y}, double(p.tag)}) add(v);
  }
  uint64_t value() const { return value_; }

 private:
  static constexpr uint64_t kFnvPrime = 0x100000001b3;
  uint64_t value_ = 0xcbf29ce484222325;
};

// The standard fixes this engine's sequence, and the reductions below are plain arithmetic, so
// every build draws the same numbers.
class Random {
 public:
  int below(int n) { return static_cast<int>(engine_() % static_cast<uint64_t>(n)); }
  // Hundredths within +-100, most of which a float cannot hold exactly.
  float coordinate() { return static_cast<float>(below(20001) - 10000) / 100.0f; }

 private:
  std::mt19937_64 engine_;
};

// The modes of each segment kind after its start; flattened runs are made apart.
constexpr int16_t kSegmentModes[][3] = {{JVM_LINE},
                                        {JVM_LINE_ALT},
                                        {JVM_ARC_MID, JVM_ARC_END},
                                        {JVM_QUAD_CTRL, JVM_QUAD_END},
                                        {JVM_QUAD_CTRL, JVM_QUAD_END_ALT},
                                        {JVM_BEZ_CTRL1, JVM_BEZ_CTRL2, JVM_BEZ_END},
                                        {JVM_BEZ_CTRL1, JVM_BEZ_CTRL2, JVM_BEZ_END_ALT}};
constexpr int kSegmentKinds = std::size(kSegmentModes) + 2;

// Closed contours of every segment kind; flattened runs follow circles so that fitting finds
// curves in them.
PathPtr randomPath(Random &r) {
  PathPtr path(jVectOpen(64));
  for (int c = 1 + r.below(3); c > 0; --c) {
    const float sx = r.coordinate(), sy = r.coordinate();
    jVectAddPoint(path.get(), JVECT_LAST, JVM_START, sx, sy);
    for (int s = 2 + r.below(6); s > 0; --s) {
      const int kind = r.below(kSegmentKinds);
      if (kind < static_cast<int>(std::size(kSegmentModes))) {
        for (int16_t mode : kSegmentModes[kind]) {
          const float x = r.coordinate();  // x first: argument order is the compiler's choice
          if (mode != 0) jVectAddPoint(path.get(), JVECT_LAST, mode, x, r.coordinate());
        }
        continue;
      }
      const double cx = r.coordinate(), cy = r.coordinate(), radius = 5 + r.below(60);
      const double a0 = r.below(360) * M_PI / 180, step = (r.below(31) - 15) * M_PI / 180;
      const int run = 2 + r.below(20);
      for (int k = 1; k <= run; ++k) {
        const int16_t mode = k < run ? JVM_SVT : kind % 2 ? JVM_SVT_END_ALT : JVM_SVT_END;
        jVectAddPoint(path.get(), JVECT_LAST, mode,
                      static_cast<float>(cx + radius * std::cos(a0 + k * step)),
                      static_cast<float>(cy + radius * std::sin(a0 + k * step)));
      }
    }
    jVectAddPoint(path.get(), JVECT_LAST, JVM_LINE, sx, sy);
  }
  return path;
}

// Glyphs of the installed face in both writing directions.
std::vector<PathPtr> glyphPaths() {
  JFont *registry = jFontInit();
  JFontEntry everyCharset{};
  everyCharset.charset = JFCS_SHIFTJIS | JFCS_ANSI;
  jFontRegistTTF(registry, everyCharset);
  std::vector<PathPtr> out;
  for (int32_t direction = 0; direction <= 1; ++direction) {
    JFontHandle *font = jFontOpen(registry, "IPAGothic", direction);
    for (uint32_t code : kGlyphCodes) {
      PathPtr path(jVectOpen(256));
      JFontGlyphInfo info{};
      JFontGlyphMetrics metrics{};
      if (jFontGlyphVect(font, code, direction, &info, &metrics, path.get()) <= 0) continue;
      jVectScale(path.get(), kGlyphScale);
      out.push_back(std::move(path));
    }
    jFontClose(font);
  }
  jFontEnd(registry);
  return out;
}

// Hashes what the arithmetic primitives make of the first points of a path.
void primitives(JVect *path, int v, Digest &d) {
  float p[2 * 16] = {};
  for (int32_t i = 0; i < 16 && i < jVectGetNum(path); ++i) {
    p[2 * i] = jVectGetVd(path)[i].x;
    p[2 * i + 1] = jVectGetVd(path)[i].y;
  }
  float out[6] = {}, radius = 0, box[4] = {p[0], p[1], p[0], p[1]};
  for (int i = 1; i < 16; ++i) jMinMaxJudge(box, p[2 * i], p[2 * i + 1]);
  for (double value :
       {double(jMathCross(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], out)),
        double(jMathRealCrossPoint(p[0], p[1], p[4], p[5], p[2], p[3], p[6], p[7], out + 2)),
        double(jMathCycOxOy(p[0], p[1], p[2], p[3], p[4], p[5], out + 4, &radius)),
        jMathAtan(p[1], p[0]), jMathCos(p[0], p[1], p[2], p[3], p[4], p[5]),
        jMathLR(p[0], p[1], p[2], p[3], p[4], p[5]), jMathLen(p[0], p[1], p[2], p[3]),
        jMathLen2(p[0], p[1], p[2], p[3]), jMathDis(p[0], p[1], p[2], p[3], p[4], p[5]),
        double{radius}, jMathBezierDis(p, p[8], p[9])})
    d.add(value);
  d.add(out, 6);
  d.add(box, 4);

  // Room for the longest flattening; the first three answer the number of points written.
  float work[2 * 130] = {};
  int32_t count = 3 + v % 14;
  for (int step = 0; step < 4; ++step) {
    std::memcpy(work, p, sizeof p);
    const double result = step == 0   ? jMathArcToLine(work, 3.0f + v)
                          : step == 1 ? jMathBezToLine(work, 4 + v % 125)
                          : step == 2 ? jMathArcToBez(work)
                                      : jMathLineToBezier(&count, work);
    d.add(result);
    d.add(work, 2 * (step == 3 ? 16 : static_cast<int>(result)));
  }

  // Every fifth corner turns straight back, for the caps.
  const int c = v % 5 == 0 ? 0 : 4;
  JMathCorner corner{{p[0], p[1]}, {p[2], p[3]}, {p[c], p[c + 1]}, {}, {}, {}, {}, {}};
  d.add(jMathWeight(&corner, v % 2 ? 2.5f : -3.25f, 1 + v % 3, 4 + v / 3 % 3, 2.0f, v / 9 % 3));
  float written[16];
  std::memcpy(written, &corner, sizeof written);
  d.add(written, 16);
}

// What the table of public operations cannot express: the measuring calls, the flattening at
// other resolutions, the editing in place and the envelope over every shape and the path's box.
// What the calls return is hashed here, the path they leave by the caller.
constexpr const char *kCorpusGroups[] = {"primitives", "measure", "flatten", "edit", "envelope"};

void corpusGroup(int group, JVect *p, int v, Digest &d) {
  float box[4];
  switch (group) {
    case 0:
      return primitives(p, v, d);
    case 1:
      d.add(jVectGetMinMax(box, p, JVECT_ALL), 4);
      d.add(jVectCheckLoop(p));
      for (int32_t i = 0; i < jVectGetNum(p); ++i) {
        const float x = jVectGetVd(p)[i].x, y = jVectGetVd(p)[i].y;
        d.add(jVectIsInside(p, i, y, x) + 8 * jVectGetLoopDir(p, i));
        d.add(jVectGetLength(p, i) + 1000 * jVectSearchPoint(p, y, x));
      }
      return;
    case 2:
      jVectSetCurveRes(4 + 4 * v, 3.0f + v);
      d.add(jVectBezToSvt(p, 1 + v % 3) + 2 * jVectGetLine(p));
      return jVectSetCurveRes(kDivisions, kAngle);
    case 3:
      d.add(jVectDelNoise(p) + jVectScale(p, 1.37f) + jVectMovePoint(p, v, 0.3f, 0.7f));
      d.add(jVectSetStartPos(p, v % 7) + jVectClosePoint(p, JVECT_ALL) + jVectSnap(p, 0.25f));
      return d.add(jVectSetAttri(p) + jVectReverse(p, v % 2 ? JVECT_ALL : 0));
    default: {
      jVectGetMinMax(box, p, JVECT_ALL);
      const JVectransShapeParam shape{1 + v % 32, 70, box[0], box[1], box[2], box[3]};
      return d.add(jVectransShapeEffect(&shape, p));
    }
  }
}

void printGroup(const char *name, const Digest &d, Digest &all) {
  std::printf("%-24s %016llx\n", name, static_cast<unsigned long long>(d.value()));
  all.add(static_cast<double>(d.value() >> 32));
  all.add(static_cast<double>(d.value() & 0xFFFFFFFFu));
}

}  // namespace

int main() {
  jVectSetCurveRes(kDivisions, kAngle);
  Random random;
  std::vector<PathPtr> corpus;
  for (int i = 0; i < kRandomPaths; ++i) corpus.push_back(randomPath(random));
  for (PathPtr &glyph : glyphPaths()) corpus.push_back(std::move(glyph));

  Digest all;
  for (int group = 0; group < static_cast<int>(std::size(kCorpusGroups)); ++group) {
    Digest d;
    for (size_t v = 0; v < corpus.size(); ++v) {
      PathPtr path(jVectDuplicate(corpus[v].get()));
      corpusGroup(group, path.get(), static_cast<int>(v), d);
      d.add(path.get());
    }
    printGroup(kCorpusGroups[group], d, all);
  }
  for (const testing_support::Operation &op : testing_support::publicOperations()) {
    Digest d;
    for (const PathPtr &source : corpus) {
      PathPtr path(jVectDuplicate(source.get()));
      d.add(op.run(path.get()));
      d.add(path.get());
    }
    printGroup(op.name.c_str(), d, all);
  }
  std::printf("%-24s %016llx\n(%zu paths)\n", "all", static_cast<unsigned long long>(all.value()),
              corpus.size());
  return 0;
}
