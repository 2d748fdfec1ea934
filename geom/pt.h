// The plain double-precision point in which the library computes.
#ifndef OUTLINA_GEOM_PT_H
#define OUTLINA_GEOM_PT_H

#include <cstdint>

#include "outlina/geom.h"

namespace outlina {

struct Pt {
  double x, y;
};

// Point arrays hold consecutive (x, y) pairs of floats; reading widens, storing rounds once.
inline Pt loadPt(const float *pts, int32_t i) { return {pts[2 * i], pts[2 * i + 1]}; }
inline void storePt(float *pts, int32_t i, Pt p) {
  pts[2 * i] = static_cast<float>(p.x);
  pts[2 * i + 1] = static_cast<float>(p.y);
}

// The distance that jMathLen measures between the points rounded to floats.
inline double floatDistance(Pt a, Pt b) {
  return jMathLen(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(b.x),
                  static_cast<float>(b.y));
}

inline Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
inline Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
inline Pt operator*(double k, Pt a) { return {k * a.x, k * a.y}; }
inline double dot(Pt a, Pt b) { return a.x * b.x + a.y * b.y; }
inline double cross(Pt a, Pt b) { return a.x * b.y - a.y * b.x; }

}  // namespace outlina

#endif
