#include <cstdint>
#include <initializer_list>

#include "geom/pt.h"
#include "outlina/curve.h"
#include "outlina/fit.h"
#include "outlina/geom.h"
#include "outlina/offset.h"
#include "outlina/path.h"
#include "path/offset_path.h"
#include "path/room.h"
#include "path/segments.h"
#include "path/stroke_codes.h"

namespace outlina {
namespace {

// Marks the stand-in fourth point of a held contour; no path carries negative modes.
constexpr int16_t kHoldMode = -1;

bool samePlace(const JVectPoint &p, const JVectPoint &q) { return p.x == q.x && p.y == q.y; }

// The forward-and-back loop of one straight piece (A, B, A) is a contour of three points,
// which the clean-up would remove as noise; offsetting it must give the band around the piece.
// Only the loops that jVectMakeReverseLoop made are held: a host's own sliver goes.
bool isHeld(const JVectPoint *v, int32_t s, int32_t e) {
  return e - s == 2 && v[s].mode == JVM_START && isLineMode(v[s + 1].mode) &&
         isLineMode(v[e].mode) && samePlace(v[e], v[s]) && !samePlace(v[s + 1], v[s]) &&
         v[s + 1].tag == kTurnBackTag;
}

bool contourEndsAt(const JVect *path, int32_t i) {
  return i + 1 == path->count || path->points[i + 1].mode == JVM_START;
}

// Gives every held contour a stand-in fourth point so that the clean-up keeps it whole: it
// holds no repeated line point, so the clean-up leaves its points alone. Returns the number
// of stand-ins, or -1 when the path cannot grow.
int32_t holdLoops(JVect *path) {
  int32_t held = 0;
  for (int32_t e = 2; e < path->count; ++e)
    if (contourEndsAt(path, e) && isHeld(path->points, e - 2, e)) ++held;
  if (held == 0) return 0;
  const int32_t needed = path->count + held;
  if (needed > path->capacity && jVectExpand(path, needed - path->capacity) != 1) return -1;
  // Spread from the back so that every record is read before anything lands on it.
  JVectPoint *v = path->points;
  int32_t shift = held;
  bool nextIsStart = true;
  for (int32_t i = path->count - 1; i >= 0 && shift > 0; --i) {
    const JVectPoint rec = v[i];
    if (nextIsStart && i >= 2 && isHeld(v, i - 2, i)) {
      v[i + shift] = rec;
      v[i + shift].mode = kHoldMode;
      v[i + shift].tag = 0;
      --shift;
    }
    v[i + shift] = rec;
    nextIsStart = rec.mode == JVM_START;
  }
  path->count = needed;
  return held;
}

void releaseLoops(JVect *path) {
  for (int32_t i = 3; i < path->count; ++i)
    if (path->points[i].mode == kHoldMode && path->points[i - 3].mode == JVM_START &&
        contourEndsAt(path, i))
      path->points[i].mode = JVM_NONE;
  jVectSweepPoint(path);
}

// Calls visit(ordinal, s, e) for every contour s..e, skipping points before the first start,
// which belong to no contour.
template <class Visit>
void forEachContour(const JVect *path, Visit visit) {
  int32_t s = 0;
  while (s < path->count && path->points[s].mode != JVM_START) ++s;
  for (int32_t ordinal = 0; s < path->count; ++ordinal) {
    const int32_t e = jVectGetEndPos(path, s);
    visit(ordinal, s, e);
    s = e + 1;
  }
}

// Moves every contour by minus the centre of its box, keeping the centres. A curve is flattened
// into many short steps: flattened where the path lies, far from the origin, each step's
// direction would carry the rounding of its ends, and its offset, a few hundred times longer
// than the step, would zigzag by more than the steps themselves.
bool centreContours(OffsetWork &work) {
  int32_t contours = 0;
  forEachContour(work.path, [&](int32_t, int32_t, int32_t) { ++contours; });
  if (!work.centres.allocate(contours)) return false;
  JVectPoint *v = work.path->points;
  forEachContour(work.path, [&](int32_t k, int32_t s, int32_t e) {
    float box[4];
    jVectGetMinMax(box, work.path, s);
    const Pt centre{(double{box[0]} + box[2]) * 0.5, (double{box[1]} + box[3]) * 0.5};
    work.centres[k] = centre;
    for (int32_t i = s; i <= e; ++i) {
      v[i].x = static_cast<float>(v[i].x - centre.x);
      v[i].y = static_cast<float>(v[i].y - centre.y);
    }
  });
  return true;
}

}  // namespace

// Sweeps, cleans and flattens the path so that it holds only starts, lines and flattened runs.
// The clean-up drops every contour of three points or fewer; the forward-and-back loop of a
// single segment is one, yet widening or offsetting it must give the band around the segment,
// so such loops are held through the clean-up and the clean-up itself stays as it is.
bool prepareOffset(OffsetWork &work) {
  JVect *path = work.path;
  jVectSweepPoint(path);
  const int32_t held = holdLoops(path);
  if (held < 0) return false;
  jVectDelNoise(path);
  if (held > 0) releaseLoops(path);
  if (!centreContours(work)) return false;
  return jVectGetNum(path) < 2 || jVectBezToSvt(path, JVF_CURVES) == 1;
}

namespace {

void moveBack(JMathXY &p, Pt centre) {
  p = {static_cast<float>(p.x + centre.x), static_cast<float>(p.y + centre.y)};
}

void append(PointSink &out, int32_t mode, JMathXY p) { out.add(mode, p.x, p.y); }

// What the corner answer adds to the outline; the first point carries the source mode.
void appendCorner(PointSink &out, int32_t result, int32_t mode, const JMathCorner &c,
                  JMathXY vertex) {
  switch (result) {
    case JMW_POINT:
      append(out, mode, c.p1);
      break;
    case JMW_BEVEL:
    case JMW_FLAT_CAP:
    case JMW_SQUARE_CAP:
      append(out, mode, c.p1);
      append(out, JVM_LINE, c.p2);
      break;
    case JMW_ROUND_CAP:
    case JMW_ROUND_JOIN:
      append(out, mode, c.p1);
      append(out, JVM_BEZ_CTRL1, c.p2);
      append(out, JVM_BEZ_CTRL2, c.p3);
      append(out, JVM_BEZ_END, c.p4);
      break;
    case JMW_OUTSIDE:
      append(out, mode, c.p1);
      append(out, JVM_LINE, vertex);
      append(out, JVM_LINE, c.p2);
      break;
    default:
      break;
  }
}

// A point inside a flattened curve keeps one point: the crossing of its offset sides. Where
// the offset reaches past the centre of a bend on the side it turns to, the curve folds over
// and the point is dropped: a positive distance folds counter-clockwise bends, a negative one
// clockwise bends. The inner side matters as much as the outer: a kept fold is a sliver loop
// whose crossings fall within a float step of each other, and whether the combine keeps or
// loses the outline around it would then depend on where on the sheet the outline lies.
void appendBend(PointSink &out, int32_t result, const JMathCorner &c, const JMathCorner &rel,
                JMathXY vertex, float distance) {
  // With no offset the two sides coincide and have no crossing; the point stays put.
  const JMathXY p = distance == 0.0f ? vertex : result == JMW_OUTSIDE ? c.p1 : c.cross;
  append(out, JVM_SVT, p);
  float centre[2];
  float radius = 0.0f;
  // The circle is found in box-relative coordinates, where the floats keep their precision;
  // its sense is 0 for a counter-clockwise bend, 1 for a clockwise one, -1 for none.
  const int32_t sense =
      jMathCycOxOy(rel.a.x, rel.a.y, rel.b.x, rel.b.y, rel.c.x, rel.c.y, centre, &radius);
  if (sense < 0) return;
  const float towardCentre = sense == 0 ? distance : -distance;
  if (towardCentre >= radius) out.dropLast();
}

// Whether the corner at B turns away from the side the offset moves to. There the two offset
// sides overlap, and a bevel would run on past their crossing and back: a loop that the welds
// cut off again, but one only a few float steps wide at gentle corners, which is cut
// differently wherever on the sheet the outline lies. Such corners end at the crossing instead.
bool turnsAway(const JMathCorner &rel, float distance) {
  const double turn = (double{rel.a.x} - rel.b.x) * (double{rel.c.y} - rel.b.y) -
                      (double{rel.c.x} - rel.b.x) * (double{rel.a.y} - rel.b.y);
  return turn * distance < 0.0;
}

JMathXY xy(const JVectPoint &p) { return {p.x, p.y}; }

// The contour s..e lies centred on the origin; its offset is moved back by centre.
void offsetContour(PointSink &out, const JVect *src, int32_t s, int32_t e, Pt centre,
                   const OffsetParams &prm) {
  const JVectPoint *v = src->points;
  JMathXY first{};
  for (int32_t i = s; i < e; ++i) {
    int32_t mode = v[i].mode;
    JMathCorner c{};
    c.a = xy(v[i == s ? e - 1 : i - 1]);
    c.b = xy(v[i]);
    c.c = xy(v[i + 1]);
    int32_t cap = prm.cap;
    int32_t join = prm.join;
    // A flattened curve that turns by more than a right angle here has a sharp point.
    if (mode == JVM_SVT && jMathCos(c.a.x, c.a.y, c.b.x, c.b.y, c.c.x, c.c.y) > 0.0) {
      cap = JVC_ROUND;
      join = JVJ_ROUND;
      mode = JVM_SVT_END;
    }
    const JMathCorner rel = c;
    int32_t result = jMathWeight(&c, prm.distance, cap, join, prm.limit, prm.axis);
    if (result == JMW_BEVEL && turnsAway(rel, prm.distance)) {
      c.p1 = c.cross;
      result = JMW_POINT;
    }
    JMathXY vertex = c.b;
    for (JMathXY *p : {&vertex, &c.cross, &c.p1, &c.p2, &c.p3, &c.p4}) moveBack(*p, centre);
    if (i == s) first = c.p1;
    if (mode == JVM_SVT)
      appendBend(out, result, c, rel, vertex, prm.distance);
    else
      appendCorner(out, result, mode, c, vertex);
  }
  // The end repeats the first offset point, which closes a closed contour exactly.
  append(out, v[e].mode, first);
  out.tagLast(v[s].tag);
}

}  // namespace

bool writeOffset(JVect *path, const OffsetWork &work, const OffsetParams &prm, int64_t extra) {
  return rewrite(
      path,
      [&](PointSink &out) {
        forEachContour(work.path, [&](int32_t k, int32_t s, int32_t e) {
          if (e - s >= 2) offsetContour(out, work.path, s, e, work.centres[k], prm);
        });
      },
      extra);
}

}  // namespace outlina

extern "C" int32_t jVectOffsetPath(JVect *path, float distance, int32_t cap, int32_t join,
                                   float limit, int32_t axis) {
  if (path == nullptr || !outlina::strokeCodesKnown(cap, join)) return 0;
  using namespace outlina;
  // The working copy is prepared and the room for the whole offset reserved before the path
  // itself changes, so that running out of memory leaves the path as it was.
  OffsetWork work{jVectDuplicate(path), {}};
  if (work.path == nullptr) return 0;
  const bool done =
      prepareOffset(work) && writeOffset(path, work, {distance, cap, join, limit, axis}, 0);
  jVectClose(work.path);
  return done ? 1 : 0;
}
