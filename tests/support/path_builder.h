// Test helpers: build a path from a list of points and read it back as plain values.
#ifndef OUTLINA_TESTS_SUPPORT_PATH_BUILDER_H
#define OUTLINA_TESTS_SUPPORT_PATH_BUILDER_H

#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "outlina.h"

namespace testing_support {

struct P {
  int mode;
  float x, y;
  uint32_t tag = 0;
  bool operator==(const P &o) const {
    return mode == o.mode && x == o.x && y == o.y && tag == o.tag;
  }
};
using Points = std::vector<P>;

inline std::ostream &operator<<(std::ostream &os, const P &p) {
  return os << "{" << p.mode << ", " << p.x << ", " << p.y << ", tag " << p.tag << "}";
}

struct PathCloser {
  void operator()(JVect *path) const { jVectClose(path); }
};
using PathPtr = std::unique_ptr<JVect, PathCloser>;

// Points are appended with jVectAddPoint(-2); tags are written straight into the records.
inline PathPtr makePath(const Points &points, int32_t capacity = 16) {
  PathPtr path(jVectOpen(capacity));
  for (const P &p : points) {
    jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
    jVectGetVd(path.get())[jVectGetNum(path.get()) - 1].tag = p.tag;
  }
  return path;
}

inline Points pointsOf(const JVect *path) {
  Points out;
  const JVectPoint *v = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i)
    out.push_back({v[i].mode, v[i].x, v[i].y, v[i].tag});
  return out;
}

}  // namespace testing_support

#endif
