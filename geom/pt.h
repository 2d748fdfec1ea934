// The plain double-precision point in which the library computes.
#ifndef OUTLINA_GEOM_PT_H
#define OUTLINA_GEOM_PT_H

namespace outlina {

struct Pt {
  double x, y;
};

inline Pt operator+(Pt a, Pt b) { return {a.x + b.x, a.y + b.y}; }
inline Pt operator-(Pt a, Pt b) { return {a.x - b.x, a.y - b.y}; }
inline Pt operator*(double k, Pt a) { return {k * a.x, k * a.y}; }
inline double dot(Pt a, Pt b) { return a.x * b.x + a.y * b.y; }
inline double cross(Pt a, Pt b) { return a.x * b.y - a.y * b.x; }

}  // namespace outlina

#endif
