#include <cmath>
#include <cstddef>
#include <cstdint>

#include "geom/pt.h"
#include "outlina/geom.h"
#include "outlina/offset.h"

static_assert(sizeof(JMathCorner) == 64 && offsetof(JMathCorner, cross) == 24 &&
                  offsetof(JMathCorner, p4) == 56,
              "the corner record is eight float pairs, exchanged by layout");

namespace outlina {
namespace {

// Below this squared distance between the first side's end and the crossing, a round join
// would have no room for its handles; the crossing alone is used instead.
constexpr double kRoundJoinMinSq = 0.1;

Pt pt(JMathXY p) { return {p.x, p.y}; }
JMathXY xy(Pt p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

double len(JMathXY p, JMathXY q) { return jMathLen(p.x, p.y, q.x, q.y); }

// One side moved sideways, its ends rounded to float as the record stores them.
struct Side {
  JMathXY from, to;
};

// Moves the side p->q by d along its left normal (y up), honouring the axis choice.
Side offsetSide(JMathXY p, JMathXY q, double d, int32_t axis) {
  const double l = len(p, q);
  // A zero-length side has no direction; it stays where it is rather than divide by zero.
  const double k = l > 0.0 ? d / l : 0.0;
  Pt o{k * (double{p.y} - q.y), k * (double{q.x} - p.x)};
  if (axis != JVO_BOTH && axis != JVO_X) o.x = 0.0;
  if (axis != JVO_BOTH && axis != JVO_Y) o.y = 0.0;
  return {xy(pt(p) + o), xy(pt(q) + o)};
}

// end pushed on by |d| in the direction start->end.
JMathXY pushOn(JMathXY start, JMathXY end, double absD) {
  const double l = len(start, end);
  const double k = l > 0.0 ? absD / l : 0.0;
  return xy(pt(end) + k * (pt(end) - pt(start)));
}

// The half-round end from the first side's end to the second side's start: both handles lie
// |d| beyond the sides, which in the three-quarter cubic form is a half circle of radius |d|.
void roundEnd(JMathCorner &c, const Side &s1, const Side &s2, double absD) {
  c.p1 = s1.to;
  c.p2 = pushOn(s1.from, s1.to, absD);
  c.p3 = pushOn(s2.to, s2.from, absD);
  c.p4 = s2.from;
}

int32_t turnBack(JMathCorner &c, const Side &s1, const Side &s2, double absD, int32_t cap) {
  switch (cap) {
    case JVC_FLAT:
      c.p1 = s1.to;
      c.p2 = s2.from;
      return JMW_FLAT_CAP;
    case JVC_SQUARE:
      c.p1 = pushOn(s1.from, s1.to, absD);
      c.p2 = pushOn(s2.to, s2.from, absD);
      return JMW_SQUARE_CAP;
    case JVC_ROUND:
      roundEnd(c, s1, s2, absD);
      return JMW_ROUND_CAP;
    default:
      return JMW_NONE;
  }
}

int32_t weight(JMathCorner &c, double d, int32_t cap, int32_t join, double limit, int32_t axis) {
  const double absD = std::fabs(d);
  const Side s1 = offsetSide(c.a, c.b, d, axis);
  const Side s2 = offsetSide(c.b, c.c, d, axis);

  if (c.c.x == c.a.x && c.c.y == c.a.y) return turnBack(c, s1, s2, absD, cap);

  float crossing[2] = {0.0f, 0.0f};
  const bool crosses = jMathCross(s1.from.x, s1.from.y, s1.to.x, s1.to.y, s2.from.x, s2.from.y,
                                  s2.to.x, s2.to.y, crossing) == 1;
  c.cross = {crossing[0], crossing[1]};

  if (!crosses && len(s1.to, s2.from) < absD) {
    c.cross = s2.from;
    c.p1 = s2.from;
    return JMW_POINT;
  }

  if (crosses) {
    const Pt x = pt(c.cross);
    const bool beforeFirst = dot(pt(s1.to) - pt(s1.from), x - pt(s1.from)) < 0.0;
    const bool beyondSecond = dot(pt(s2.from) - pt(s2.to), x - pt(s2.to)) < 0.0;
    if (beforeFirst || beyondSecond) {
      c.p1 = s1.to;
      c.p2 = s2.from;
      // Where the normals at A and at C meet, if that lies within |d| of the vertex.
      float y[2];
      const bool normalsMeet = jMathCross(c.a.x, c.a.y, s1.from.x, s1.from.y, c.c.x, c.c.y,
                                          s2.to.x, s2.to.y, y) == 1;
      c.p3 = normalsMeet && jMathLen(c.b.x, c.b.y, y[0], y[1]) < absD ? JMathXY{y[0], y[1]}
                                                                      : s1.to;
      return JMW_OUTSIDE;
    }
  }

  switch (join) {
    case JVJ_MITER: {
      const double reach = crosses ? len(c.b, c.cross) : 0.0;
      if (crosses && (reach == 0.0 || reach <= std::fabs(d * limit))) {
        c.p1 = c.cross;
        return JMW_POINT;
      }
      c.p1 = s1.to;
      c.p2 = s2.from;
      return JMW_BEVEL;
    }
    case JVJ_BEVEL:
      c.p1 = s1.to;
      c.p2 = s2.from;
      return JMW_BEVEL;
    case JVJ_ROUND: {
      if (!crosses) {
        roundEnd(c, s1, s2, absD);
        return JMW_ROUND_JOIN;
      }
      const double q = jMathLen2(s1.to.x, s1.to.y, c.cross.x, c.cross.y);
      const double h = len(c.b, c.cross) - absD;
      const double turn = (double{c.a.x} - c.b.x) * (double{c.c.y} - c.b.y) -
                          (double{c.c.x} - c.b.x) * (double{c.a.y} - c.b.y);
      if (q > kRoundJoinMinSq && turn * d > 0.0) {
        // Both handles use the first side's q: for a plain offset |B1 X| = |B2 X| anyway, and
        // one factor keeps the two handles in step when an axis choice makes them differ.
        const double k = absD * h / q;
        const Pt x = pt(c.cross);
        c.p1 = s1.to;
        c.p2 = xy(pt(s1.to) + k * (x - pt(s1.to)));
        c.p3 = xy(pt(s2.from) + k * (x - pt(s2.from)));
        c.p4 = s2.from;
        return JMW_ROUND_JOIN;
      }
      c.p1 = c.cross;
      return JMW_POINT;
    }
    default:
      return JMW_NONE;
  }
}

}  // namespace
}  // namespace outlina

extern "C" int32_t jMathWeight(JMathCorner *corner, float distance, int32_t cap, int32_t join,
                               float limit, int32_t axis) {
  if (corner == nullptr) return JMW_NONE;
  return outlina::weight(*corner, distance, cap, join, limit, axis);
}
