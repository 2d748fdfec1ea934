// Prints a digest of what every public operation makes of a fixed pseudo-random corpus (paths
// with every segment kind, glyphs of an installed font and of both outline font file formats):
// one line per operation and one over all of them. Builds made by other compilers or at other
// optimisation levels must print the same lines; a difference means a stored float rounding
// went missing somewhere.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fontpack.h"
#include "outlina.h"
#include "support/path_builder.h"
#include "support/text_workload.h"

namespace {

using testing_support::PathPtr;

constexpr int kRandomPaths = 32;
// The curve resolution every operation but the flattening runs at.
constexpr int32_t kDivisions = 32;
constexpr float kAngle = 3.0f;
// Glyph coordinates come in 10000 units per cell; this brings them to the corpus' scale.
constexpr float kGlyphScale = 0.01f;
// Quadratics become arcs within this many glyph units for the ku-ten file without quadratics.
constexpr double kArcTolerance = 20.0;
// Four kanji of row 16 and a full-width letter: curves, corners and holes.
constexpr uint32_t kGlyphCodes[] = {0x889F, 0x88A0, 0x88A1, 0x88A2, 0x8260};

class Digest {
 public:
  void bytes(const void *data, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      value_ ^= static_cast<const uint8_t *>(data)[i];
      value_ *= kFnvPrime;
    }
  }
  void add(int64_t v) { bytes(&v, sizeof v); }
  // The sign and payload of a NaN depend on the instruction that made it, so all hash alike.
  void add(double v) {
    if (std::isnan(v)) v = std::numeric_limits<double>::quiet_NaN();
    bytes(&v, sizeof v);
  }
  void add(const float *values, int n) {
    for (int i = 0; i < n; ++i) add(double{values[i]});
  }
  void add(const JVect *path) {
    add(int64_t{jVectGetNum(path)});
    for (int32_t i = 0; i < jVectGetNum(path); ++i) {
      const JVectPoint &p = jVectGetVd(path)[i];
      add(int64_t{p.mode});
      add(double{p.x});
      add(double{p.y});
      add(int64_t{p.tag});
    }
  }
  uint64_t value() const { return value_; }

 private:
  static constexpr uint64_t kFnvPrime = 0x100000001b3;
  uint64_t value_ = 0xcbf29ce484222325;
};

// splitmix64: the same numbers on every platform.
class Random {
 public:
  uint64_t next() {
    uint64_t z = (state_ += 0x9e3779b97f4a7c15);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
    z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
  // Hundredths within +-100, most of which a float cannot hold exactly.
  float coordinate() { return static_cast<float>(below(20001) - 10000) / 100.0f; }

 private:
  uint64_t state_ = 0x0d16e57;
};

void addPoint(JVect *path, int16_t mode, float x, float y) {
  jVectAddPoint(path, JVECT_LAST, mode, x, y);
}

// x before y: the order of a call's arguments is the compiler's choice.
void addRandomPoint(JVect *path, int16_t mode, Random &r) {
  const float x = r.coordinate();
  addPoint(path, mode, x, r.coordinate());
}

// Closed contours of every segment kind; flattened runs follow arcs so that fitting finds
// curves in them.
PathPtr randomPath(Random &r) {
  PathPtr path(jVectOpen(64));
  JVect *p = path.get();
  for (int c = 1 + r.below(3); c > 0; --c) {
    const float sx = r.coordinate(), sy = r.coordinate();
    addPoint(p, JVM_START, sx, sy);
    for (int s = 2 + r.below(6); s > 0; --s) {
      const int kind = r.below(9);
      const bool alt = r.below(2) == 1;
      if (kind <= 1) {
        addRandomPoint(p, alt ? JVM_LINE_ALT : JVM_LINE, r);
      } else if (kind <= 3) {
        const double cx = r.coordinate(), cy = r.coordinate(), radius = 5 + r.below(60);
        const double a0 = r.below(360) * M_PI / 180, step = (r.below(31) - 15) * M_PI / 180;
        const int run = 2 + r.below(20);
        for (int k = 1; k <= run; ++k)
          addPoint(p, k < run ? JVM_SVT : alt ? JVM_SVT_END_ALT : JVM_SVT_END,
                   static_cast<float>(cx + radius * std::cos(a0 + k * step)),
                   static_cast<float>(cy + radius * std::sin(a0 + k * step)));
      } else if (kind <= 5) {
        addRandomPoint(p, JVM_ARC_MID, r);
        addRandomPoint(p, JVM_ARC_END, r);
      } else if (kind <= 6) {
        addRandomPoint(p, JVM_QUAD_CTRL, r);
        addRandomPoint(p, alt ? JVM_QUAD_END_ALT : JVM_QUAD_END, r);
      } else {
        addRandomPoint(p, JVM_BEZ_CTRL1, r);
        addRandomPoint(p, JVM_BEZ_CTRL2, r);
        addRandomPoint(p, alt ? JVM_BEZ_END_ALT : JVM_BEZ_END, r);
      }
    }
    addPoint(p, JVM_LINE, sx, sy);
  }
  return path;
}

void readGlyphs(JFontHandle *font, int32_t direction, std::vector<PathPtr> *out) {
  for (uint32_t code : kGlyphCodes) {
    PathPtr path(jVectOpen(256));
    JFontGlyphInfo info{};
    JFontGlyphMetrics metrics{};
    if (jFontGlyphVect(font, code, direction, &info, &metrics, path.get()) <= 0) continue;
    jVectScale(path.get(), kGlyphScale);
    out->push_back(std::move(path));
  }
}

void registerFile(JFont *registry, const char *name, int32_t kind, const std::string &file) {
  JFontEntry entry{};
  entry.kind = kind;
  std::snprintf(entry.name, sizeof entry.name, "%s", name);
  std::snprintf(entry.path, sizeof entry.path, "%s", file.c_str());
  jFontRegist(registry, entry);
}

// The glyphs read from the installed face, then from a ku-ten file (with arcs) and an INDX
// file packed from them, in both writing directions.
std::vector<PathPtr> glyphPaths() {
  std::vector<fontpack::Glyph> glyphs;
  fontpack::collectGlyphs("IPAGothic", kGlyphCodes[0], kGlyphCodes[0] + 3, &glyphs);
  fontpack::collectGlyphs("IPAGothic", kGlyphCodes[4], kGlyphCodes[4], &glyphs);
  const std::vector<uint8_t> indx = fontpack::packIndxFile(glyphs);
  for (fontpack::Glyph &g : glyphs)
    for (fontpack::Outline &o : g.outline) o.points = fontpack::quadsToArcs(o.points, kArcTolerance);
  fontpack::KuTenLayout arcs;
  arcs.bez2 = false;
  const std::string stem = "/tmp/outlina-digest-" + std::to_string(getpid());
  fontpack::writeFileBytes(stem + ".kuten", fontpack::packKuTenFile(glyphs, arcs));
  fontpack::writeFileBytes(stem + ".indx", indx);

  JFont *registry = jFontInit();
  JFontEntry everyCharset{};
  everyCharset.charset = JFCS_SHIFTJIS | JFCS_ANSI;
  jFontRegistTTF(registry, everyCharset);
  registerFile(registry, "kuten", JFK_KUTEN_FILE, stem + ".kuten");
  registerFile(registry, "indx", JFK_INDX_FILE, stem + ".indx");
  std::vector<PathPtr> out;
  for (const char *face : {"IPAGothic", "kuten", "indx"}) {
    for (int32_t direction = 0; direction <= 1; ++direction) {
      JFontHandle *font = jFontOpen(registry, face, direction);
      if (font != nullptr) readGlyphs(font, direction, &out);
      jFontClose(font);
    }
  }
  jFontEnd(registry);
  std::remove((stem + ".kuten").c_str());
  std::remove((stem + ".indx").c_str());
  return out;
}

// Hashes what the arithmetic primitives make of the first points of a path.
void primitives(JVect *path, int v, Digest &d) {
  float p[2 * 16] = {};
  for (int32_t i = 0; i < 16 && i < jVectGetNum(path); ++i) {
    p[2 * i] = jVectGetVd(path)[i].x;
    p[2 * i + 1] = jVectGetVd(path)[i].y;
  }
  float out[2] = {}, centre[2] = {}, radius = 0;
  d.add(int64_t{jMathCross(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], out)});
  d.add(int64_t{jMathRealCrossPoint(p[0], p[1], p[4], p[5], p[2], p[3], p[6], p[7], out)});
  d.add(int64_t{jMathCycOxOy(p[0], p[1], p[2], p[3], p[4], p[5], centre, &radius)});
  d.add(out, 2);
  d.add(centre, 2);
  for (double value : {jMathAtan(p[1], p[0]), jMathCos(p[0], p[1], p[2], p[3], p[4], p[5]),
                       jMathLR(p[0], p[1], p[2], p[3], p[4], p[5]), jMathLen(p[0], p[1], p[2], p[3]),
                       jMathLen2(p[0], p[1], p[2], p[3]), jMathDis(p[0], p[1], p[2], p[3], p[4], p[5]),
                       double{radius}})
    d.add(value);
  float box[4] = {p[0], p[1], p[0], p[1]};
  for (int i = 1; i < 16; ++i) jMinMaxJudge(box, p[2 * i], p[2 * i + 1]);
  d.add(box, 4);

  float work[2 * 130] = {};
  std::memcpy(work, p, sizeof p);
  d.add(int64_t{jMathArcToLine(work, 3.0f + v)});
  std::memcpy(work, p, sizeof p);
  d.add(int64_t{jMathBezToLine(work, 4 + v % 125)});
  d.add(work, 2 * 129);
  std::memcpy(work, p, sizeof p);
  d.add(int64_t{jMathArcToBez(work)});
  d.add(work, 2 * 13);
  d.add(jMathBezierDis(p, p[8], p[9]));
  int32_t count = 3 + v % 14;
  std::memcpy(work, p, sizeof p);
  d.add(jMathLineToBezier(&count, work));
  d.add(work, 2 * 16);

  // Every fifth corner turns straight back, for the caps.
  const int c = v % 5 == 0 ? 0 : 4;
  JMathCorner corner{};
  corner.a = {p[0], p[1]};
  corner.b = {p[2], p[3]};
  corner.c = {p[c], p[c + 1]};
  d.add(int64_t{jMathWeight(&corner, v % 2 ? 2.5f : -3.25f, 1 + v % 3, 4 + v / 3 % 3, 2.0f,
                            v / 9 % 3)});
  float written[16];
  std::memcpy(written, &corner, sizeof written);
  d.add(written, 16);
}

void measure(JVect *path, int, Digest &d) {
  float box[4];
  d.add(jVectGetMinMax(box, path, JVECT_ALL), 4);
  d.add(int64_t{jVectCheckLoop(path)});
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    const JVectPoint &p = jVectGetVd(path)[i];
    d.add(int64_t{jVectIsInside(path, i, p.y, p.x)});
    d.add(int64_t{jVectGetLoopDir(path, i)});
    d.add(int64_t{jVectGetLength(path, i)});
    d.add(int64_t{jVectSearchPoint(path, p.y, p.x)});
  }
}

struct Operation {
  const char *name;
  void (*run)(JVect *path, int v, Digest &d);
};

// Each operation gets its own copy of a corpus path and the path's number v, which picks its
// parameters; what it returns is hashed here, the path it leaves by the caller.
const Operation kOperations[] = {
    {"primitives", primitives},
    {"measure", measure},
    {"flatten", [](JVect *p, int v, Digest &d) {
       jVectSetCurveRes(4 + 4 * v, 3.0f + v);
       d.add(int64_t{jVectBezToSvt(p, 1 + v % 3)});
       jVectSetCurveRes(kDivisions, kAngle);
     }},
    {"arcs to curves", [](JVect *p, int, Digest &d) { d.add(int64_t{jVectArcToBez(p)}); }},
    {"fit", [](JVect *p, int, Digest &d) {
       d.add(int64_t{jVectBezToSvt(p, 3) + 2 * jVectSvtToBez(p) + 4 * jVectGetLine(p)});
     }},
    {"edit", [](JVect *p, int v, Digest &d) {
       d.add(int64_t{jVectDelNoise(p) + jVectScale(p, 1.37f) + jVectMovePoint(p, v, 0.3f, 0.7f)});
       d.add(int64_t{jVectSetStartPos(p, v % 7) + jVectClosePoint(p, JVECT_ALL) +
                     jVectSnap(p, 0.25f) + jVectSetAttri(p)});
     }},
    {"orient", [](JVect *p, int v, Digest &d) {
       d.add(int64_t{jVectReverse(p, v % 2 ? JVECT_ALL : 0) + jVectSetLoopDir(p, 1 + v % 3)});
     }},
    {"reverse loop", [](JVect *p, int, Digest &d) { d.add(int64_t{jVectMakeReverseLoop(p)}); }},
    {"offset", [](JVect *p, int v, Digest &d) {
       d.add(int64_t{jVectOffsetPath(p, v % 2 ? 3.5f : -2.25f, 1 + v % 3, 4 + v / 3 % 3, 2.0f,
                                     v / 9 % 3)});
     }},
    {"widen", [](JVect *p, int v, Digest &d) {
       d.add(int64_t{jVectWidenPath(p, 3.0f, 1 + v % 3, 4 + v / 3 % 3, 2.5f)});
     }},
    {"dash", [](JVect *p, int v, Digest &d) {
       const float pattern[6] = {4, 2, 1, 2, 3, 1.5f};
       d.add(int64_t{jVectDash(p, 1 + v % 4, pattern)});
     }},
    {"combine", [](JVect *p, int v, Digest &d) { d.add(int64_t{jWeldCombineVect(p, 1 + v % 4)}); }},
    {"weld", [](JVect *p, int v, Digest &d) { d.add(int64_t{jWeldExecute(1 + v % 4, p)}); }},
    {"weld offset", [](JVect *p, int v, Digest &d) {
       const JWeldOffsetParam r{2.5f, v % 2, v / 2 % 2, v / 4 % 2, 4 + v % 3, 3.0f, v / 3 % 2, 1};
       d.add(int64_t{jWeldOffset(&r, p)});
     }},
    {"weld widen", [](JVect *p, int v, Digest &d) {
       const JWeldWidenParam r{3.0f, 1 + v % 3, 4 + v / 3 % 3, 3.0f, 1};
       d.add(int64_t{jWeldWiden(&r, p)});
     }},
    {"stripe", [](JVect *p, int v, Digest &d) {
       const JWeldStripeParam r{4.0f, 2.0f, v % 3, 30.0f, 1};
       d.add(int64_t{jWeldStripe(&r, p)});
     }},
    {"shadow", [](JVect *p, int v, Digest &d) {
       const JWeldShadowParam r{v % 4, v / 4 % 6, 6.0f, -4.0f, 60.0f, 2.0f, 100.0f, 100.0f, 1};
       d.add(int64_t{jWeldShadow(&r, p)});
     }},
    {"envelope", [](JVect *p, int v, Digest &d) {
       float box[4];
       jVectGetMinMax(box, p, JVECT_ALL);
       const JVectransShapeParam r{1 + v % 32, 70, box[0], box[1], box[2], box[3]};
       d.add(int64_t{jVectransShapeEffect(&r, p)});
     }},
};

}  // namespace

int main() {
  jVectSetCurveRes(kDivisions, kAngle);
  Random random;
  std::vector<PathPtr> corpus;
  for (int i = 0; i < kRandomPaths; ++i) corpus.push_back(randomPath(random));
  for (PathPtr &glyph : glyphPaths()) corpus.push_back(std::move(glyph));

  Digest all;
  for (const Operation &op : kOperations) {
    Digest d;
    for (size_t v = 0; v < corpus.size(); ++v) {
      PathPtr path(jVectDuplicate(corpus[v].get()));
      op.run(path.get(), static_cast<int>(v), d);
      d.add(path.get());
    }
    std::printf("%-16s %016llx\n", op.name, static_cast<unsigned long long>(d.value()));
    all.add(static_cast<int64_t>(d.value()));
  }
  // The standard text, welded as one path.
  PathPtr text(jVectOpen(4096));
  testing_support::setOverlappingText(text.get());
  Digest weld;
  weld.add(int64_t{jWeldExecute(JWM_UNION, text.get())});
  weld.add(text.get());
  std::printf("%-16s %016llx\n", "text weld", static_cast<unsigned long long>(weld.value()));
  all.add(static_cast<int64_t>(weld.value()));
  std::printf("%-16s %016llx (%zu paths)\n", "all", static_cast<unsigned long long>(all.value()),
              corpus.size());
  return 0;
}
