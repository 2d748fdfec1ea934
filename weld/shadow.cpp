#include "weld/shadow.h"

#include <algorithm>
#include <cstdint>

#include "outlina/curve.h"
#include "outlina/effects.h"
#include "outlina/fit.h"
#include "outlina/offset.h"
#include "outlina/weld.h"
#include "weld/finish.h"

namespace outlina {
namespace {

// The shadow starts with room for as many points as the outlines have and grows like any
// other path: a fixed large block would be allocated and cleared on every call.
constexpr int32_t kShadowMinCapacity = 64;
// The offset that options 2 to 5 cut out or build on is always mitred and square-capped.
constexpr float kShadowMiterLimit = 4.0f;

struct Xy {
  float x, y;
};

// Copies every point of path with its mode, moved by move(x, y): curves stay curves.
template <typename Move>
bool appendMoved(JVect *shadow, const JVect *path, Move move) {
  const JVectPoint *points = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    const Xy moved = move(points[i].x, points[i].y);
    if (jVectAddPoint(shadow, JVECT_LAST, points[i].mode, moved.x, moved.y) < 0) return false;
  }
  return true;
}

bool isEdgeEnd(int16_t mode) { return mode == JVM_LINE || mode == JVM_SVT || mode == JVM_SVT_END; }

// The side faces swept by the flattened outlines on their way to their far image
// T(p) = c + k (p - c) + (dx, dy): one closed band per run of edges that face the move.
bool appendExtrusion(JVect *shadow, JVect *path, const JWeldShadowParam &record, double k) {
  // Extruding curve points as if they were corners would give a wrong shadow.
  if (jVectGetNum(path) >= 2 && jVectBezToSvt(path, JVF_CURVES) != 1) return false;
  float box[4];
  jVectGetMinMax(box, path, JVECT_ALL);
  const double cx = (double{box[0]} + box[2]) * 0.5, cy = (double{box[1]} + box[3]) * 0.5;
  auto far = [&](const JVectPoint &p) {
    return Xy{static_cast<float>(cx + k * (p.x - cx) + record.dx),
              static_cast<float>(cy + k * (p.y - cy) + record.dy)};
  };

  const int32_t count = jVectGetNum(path);
  const JVectPoint *points = jVectGetVd(path);
  // The first and last point of a band chain, and every point that ends a line or a
  // flattened curve, stay corners when curves are fitted again.
  auto chainMode = [&](int32_t i, int32_t rs, int32_t re) -> int16_t {
    const int16_t mode = points[i].mode;
    return i == rs || i == re - 1 || mode == JVM_LINE || mode == JVM_SVT_END ? JVM_SVT_END
                                                                             : JVM_SVT;
  };
  auto emitBand = [&](int32_t rs, int32_t re) {
    if (jVectAddPoint(shadow, JVECT_LAST, JVM_START, points[rs].x, points[rs].y) < 0) return false;
    for (int32_t i = rs; i < re; ++i) {
      const Xy t = far(points[i]);
      if (jVectAddPoint(shadow, JVECT_LAST, chainMode(i, rs, re), t.x, t.y) < 0) return false;
    }
    for (int32_t i = re - 1; i >= rs; --i)
      if (jVectAddPoint(shadow, JVECT_LAST, chainMode(i, rs, re), points[i].x, points[i].y) < 0)
        return false;
    return true;
  };

  int32_t prev = -1;
  int32_t runStart = -1;  // -1 while no run is open
  for (int32_t cur = 0; cur < count; ++cur) {
    const int16_t mode = points[cur].mode;
    if (mode == JVM_START) {
      runStart = -1;
      prev = cur;
      continue;
    }
    if (!isEdgeEnd(mode) || prev < 0) continue;
    const Xy t = far(points[prev]);
    const double ex = double{points[cur].x} - points[prev].x;
    const double ey = double{points[cur].y} - points[prev].y;
    // Positive when the edge faces the direction in which its points are displaced.
    const double f = (double{t.y} - points[prev].y) * ex - (double{t.x} - points[prev].x) * ey;
    if (runStart < 0 && f > 0) runStart = cur - 1;
    if (runStart >= 0) {
      const bool contourEnds = cur + 1 >= count || points[cur + 1].mode == JVM_START;
      if (f <= 0 || contourEnds) {
        const int32_t runEnd = f > 0 ? cur + 1 : cur;
        if (!emitBand(runStart, runEnd)) return false;
        runStart = -1;
      }
    }
    prev = cur;
  }
  return true;
}

}  // namespace

JVect *weldBuildShadow(const JWeldShadowParam &record, JVect *path) {
  JVect *shadow = jVectOpen(std::max(jVectGetNum(path), kShadowMinCapacity));
  if (shadow == nullptr) return nullptr;
  bool built = true;
  switch (record.type) {
    case JWST_DROP:
      built = appendMoved(shadow, path, [&](float x, float y) {
        return Xy{x + record.dx, y + record.dy};
      });
      break;
    case JWST_CAST: {
      float box[4];
      jVectGetMinMax(box, path, JVECT_ALL);
      const double minY = box[1], h = double{box[3]} - box[1];
      built = appendMoved(shadow, path, [&](float x, float y) {
        const double lift = (y - minY) / h;
        return Xy{static_cast<float>(x + record.dx * lift),
                  static_cast<float>(minY + record.dy * lift)};
      });
      break;
    }
    case JWST_BLOCK:
      built = appendExtrusion(shadow, path, record, 1.0);
      break;
    case JWST_PERSPECTIVE:
      built = appendExtrusion(shadow, path, record, record.ratio / 100.0);
      break;
    default:
      break;  // an unknown kind casts no shadow
  }
  if (!built) {
    jVectClose(shadow);
    return nullptr;
  }
  return shadow;
}

namespace {

bool offsetStep(JVect *path, float distance) {
  return jVectOffsetPath(path, distance, JVC_SQUARE, JVJ_MITER, kShadowMiterLimit, JVO_BOTH) == 1 &&
         jWeldCombineVect(path, JWM_UNION) == 1;
}

bool copiesOutlines(int32_t type) { return type == JWST_DROP || type == JWST_CAST; }

// Before an option cuts outlines out of an extruded shadow, the faces are merged into one region,
// with the outlines they stand on when those are given. Cut from the raw faces, a point where
// several faces overlap an outline would still count as shadow; and each face runs back along the
// outline edge it stands on, so against the reversed outlines both would lie on one edge in one
// direction, which the combine cannot tell apart. Merged with the outlines first, those back
// edges cancel instead. A dropped or cast copy shares no edge with the outlines and overlaps
// itself only where they do, so it is cut without the rounding of one more combine; it only needs
// the outlines' orientation again, which a cast falling below the bottom line mirrors.
bool prepareCut(const JWeldShadowParam &record, JVect *shadow, const JVect *outlines) {
  if (copiesOutlines(record.type)) return jVectSetLoopDir(shadow, JVLR_OUTER_NEGATIVE) == 1;
  return (outlines == nullptr || jVectAdd(shadow, outlines) == 1) &&
         jWeldCombineVect(shadow, JWM_UNION) == 1;
}

bool mergeStep(JVect *path, const JVect *shadow, bool fitCurves, Centre where,
               int32_t rule = JWM_UNION) {
  return jVectAdd(path, shadow) == 1 && jWeldCombineVect(path, rule) == 1 &&
         weldFinish(path, fitCurves, where);
}

// Reverses the outlines and merges them with the shadow, deciding every contour: left alone, a
// reversed outline that meets no shadow would be turned into an outer contour again at the end.
bool cutStep(JVect *path, const JVect *shadow, bool fitCurves, Centre where) {
  return jVectSetLoopDir(path, JVLR_OUTER_POSITIVE) == 1 &&
         mergeStep(path, shadow, fitCurves, where, JWM_UNION_ALL);
}

// Owns the shadow path and the copy of JWSO_OFFSET_HOLES so that every way out closes them.
struct ShadowRun {
  JVect *shadow = nullptr;
  JVect *copy = nullptr;
  ~ShadowRun() {
    jVectClose(shadow);
    jVectClose(copy);
  }
};

int32_t runShadow(const JWeldShadowParam &record, JVect *path, Centre where) {
  const bool fit = record.curveFit != 0;
  ShadowRun run;
  if (jVectSetLoopDir(path, JVLR_OUTER_NEGATIVE) != 1) return 0;
  switch (record.option) {
    case JWSO_MERGE:
      run.shadow = weldBuildShadow(record, path);
      return run.shadow != nullptr && mergeStep(path, run.shadow, fit, where) ? 1 : 0;
    case JWSO_CUT_OUTLINES:
      run.shadow = weldBuildShadow(record, path);
      return run.shadow != nullptr && prepareCut(record, run.shadow, path) &&
                     cutStep(path, run.shadow, fit, where)
                 ? 1
                 : 0;
    case JWSO_CUT_OFFSET:
      run.shadow = weldBuildShadow(record, path);
      // An offset that reaches outwards covers the outlines, so merging them in changes nothing
      // once it is cut out, and a zero offset would meet the faces' back edges.
      return run.shadow != nullptr &&
                     prepareCut(record, run.shadow, record.offset >= 0 ? path : nullptr) &&
                     offsetStep(path, record.offset) && cutStep(path, run.shadow, fit, where)
                 ? 1
                 : 0;
    case JWSO_OFFSET:
      if (!offsetStep(path, record.offset)) return 0;
      run.shadow = weldBuildShadow(record, path);
      return run.shadow != nullptr && mergeStep(path, run.shadow, fit, where) ? 1 : 0;
    case JWSO_OFFSET_HOLES:
      run.copy = jVectDuplicate(path);
      if (run.copy == nullptr || jVectSetLoopDir(run.copy, JVLR_OUTER_POSITIVE) != 1) return 0;
      if (!offsetStep(path, record.offset)) return 0;
      run.shadow = weldBuildShadow(record, path);
      if (run.shadow == nullptr || !mergeStep(path, run.shadow, fit, where)) return 0;
      return jVectAdd(path, run.copy);
    default:  // JWSO_OFFSET_CUT_OFFSET
      if (!offsetStep(path, record.offset)) return 0;
      run.shadow = weldBuildShadow(record, path);
      return run.shadow != nullptr && prepareCut(record, run.shadow, path) &&
                     cutStep(path, run.shadow, fit, where)
                 ? 1
                 : 0;
  }
}

// A cast shadow divides by the height of the outlines' box.
bool castHasHeight(const JWeldShadowParam &record, const JVect *path) {
  if (record.type != JWST_CAST || jVectGetNum(path) == 0) return true;
  float box[4];
  jVectGetMinMax(box, path, JVECT_ALL);
  return box[3] > box[1];
}

}  // namespace
}  // namespace outlina

using namespace outlina;

extern "C" int32_t jWeldShadow(const JWeldShadowParam *record, JVect *path) {
  if (record == nullptr || path == nullptr || record->option < JWSO_MERGE ||
      record->option > JWSO_OFFSET_CUT_OFFSET || !castHasHeight(*record, path))
    return 0;
  return runCentred(path,
                    [record](JVect *p, Centre where) { return runShadow(*record, p, where); });
}
