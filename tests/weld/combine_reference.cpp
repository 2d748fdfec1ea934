#include "weld/combine_reference.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "outlina.h"
#include "weld/batches.h"
#include "weld/combine_stages.h"

using namespace outlina;

namespace reference {
namespace {

WeldTables &T() { return weldTables; }

void discardNonLive() {
  for (int32_t i = 0; i < T().segmentCount; ++i)
    if (!weldIsLive(T().segments[i].flags)) T().segments[i].flags = -1;
}

bool reversed(const JWeldSegment &a, const JWeldSegment &b) {
  return b.x0 == a.x1 && b.y0 == a.y1 && b.x1 == a.x0 && b.y1 == a.y0;
}

void cancelSharedEdges() {
  JWeldSegment *s = T().segments;
  for (int32_t i = 0; i < T().contourCount; ++i)
    for (int32_t a = T().contours[i].first; a < T().contours[i].end; ++a) {
      if (!weldIsLive(s[a].flags)) continue;
      for (int32_t j = i + 1; j < T().contourCount; ++j)
        for (int32_t b = T().contours[j].first; b < T().contours[j].end; ++b)
          if (weldIsLive(s[b].flags) && reversed(s[a], s[b])) {
            s[a].flags = s[b].flags = -1;
            break;
          }
    }
}

bool splitAtCrossings() {
  JWeldSegment *sg = T().segments;
  const int32_t firstPiece = T().segmentCount;
  auto cutAt = [&](int32_t s, std::vector<std::pair<float, float>> &list) {
    const int32_t n = static_cast<int32_t>(list.size());
    if (!weldReserveSegments(int64_t{T().segmentCount} + n + 1)) return false;
    sg = T().segments;
    const JWeldSegment base = sg[s];
    auto dist = [&](std::pair<float, float> p) {
      return std::fabs(double{p.first} - base.x0) + std::fabs(double{p.second} - base.y0);
    };
    std::stable_sort(list.begin(), list.end(), [&](auto p, auto q) { return dist(p) < dist(q); });
    float fx = base.x0, fy = base.y0;
    int16_t flags = (base.flags & 2) ? 7 : 5;
    for (int32_t k = 0; k < n; ++k) {
      const auto [x, y] = list[k];
      if ((x == base.x0 && y == base.y0) || (x == base.x1 && y == base.y1) ||
          (k > 0 && x == list[k - 1].first && y == list[k - 1].second))
        continue;
      sg[T().segmentCount++] = {flags, fx, fy, x, y, base.source};
      fx = x;
      fy = y;
      flags = 7;
    }
    sg[T().segmentCount++] = {
        static_cast<int16_t>((base.flags & 4) ? 7 : 3), fx, fy, base.x1, base.y1, base.source};
    sg[s].flags = static_cast<int16_t>(sg[s].flags + 100);
    return true;
  };
  for (int32_t i = 0; i < T().contourCount; ++i) {
    const JWeldContour ci = T().contours[i];
    for (int32_t s = ci.first; s < ci.end; ++s) {
      if (sg[s].flags <= 0) continue;
      std::vector<std::pair<float, float>> list;
      for (int32_t j = 0; j < T().contourCount; ++j) {
        for (int32_t t = T().contours[j].first; t < T().contours[j].end; ++t) {
          if (sg[t].flags <= 0) continue;
          if (j == i &&
              (std::abs(s - t) <= 1 || std::abs(s - t) == std::abs(ci.end - ci.first - 1)))
            continue;
          // Segments whose boxes are apart neither cross nor overlap, so every pair is tried.
          const JWeldSegment &a = sg[s], &b = sg[t];
          float out[4];
          if (weldSegmentCross(sg[std::min(s, t)], sg[std::max(s, t)], out) == 1)
            list.push_back({out[0], out[1]});
          else
            for (int32_t k = 0, n = weldCollinearEnds(a, b, out); k < n; ++k)
              list.push_back({out[2 * k], out[2 * k + 1]});
        }
      }
      if (!list.empty() && !cutAt(s, list)) return false;
    }
  }
  // Later passes: the pieces of the last pass against every live segment, each pair once.
  for (int32_t pass = 0, from = firstPiece, before = INT32_MAX; pass < 4 && from < T().segmentCount;
       ++pass) {
    const int32_t end = T().segmentCount;
    std::vector<std::pair<std::pair<int32_t, int32_t>, std::pair<float, float>>> cuts;
    for (int32_t s = from; s < end; ++s)
      for (int32_t t = 0; t < end; ++t) {
        float out[2];
        if (t == s || (t >= from && t < s) || !weldIsLive(sg[s].flags) ||
            !weldIsLive(sg[t].flags) ||
            weldSegmentCross(sg[std::min(s, t)], sg[std::max(s, t)], out) == 0)
          continue;
        for (auto [a, b] : {std::pair{s, t}, std::pair{t, s}})
          if (!(out[0] == sg[a].x0 && out[1] == sg[a].y0) &&
              !(out[0] == sg[a].x1 && out[1] == sg[a].y1))
            cuts.push_back({{a, b}, {out[0], out[1]}});
      }
    std::sort(cuts.begin(), cuts.end(), [](auto &l, auto &r) { return l.first < r.first; });
    int32_t cut = 0;
    for (size_t k = 0; k < cuts.size(); ++cut) {
      std::vector<std::pair<float, float>> list;
      const int32_t s = cuts[k].first.first;
      for (; k < cuts.size() && cuts[k].first.first == s; ++k) list.push_back(cuts[k].second);
      if (!cutAt(s, list)) return false;
    }
    if (cut > before) break;  // a pass that cuts more than the one before is the last
    before = cut;
    from = end;
  }
  discardNonLive();
  for (int32_t a = firstPiece; a < T().segmentCount; ++a) {
    if (!weldIsLive(sg[a].flags)) continue;
    for (int32_t b = 0; b < T().segmentCount; ++b) {
      if (b == a || !weldIsLive(sg[b].flags) || !reversed(sg[a], sg[b])) continue;
      sg[a].flags = sg[b].flags = -1;
      break;
    }
  }
  return true;
}

bool classify() {
  const int32_t last = T().contourCount;
  T().contours[last].first = last > 0 ? T().contours[last - 1].end : 0;
  T().contours[last].end = T().segmentCount;
  JWeldSegment *sg = T().segments;
  std::vector<bool> met(T().segmentCount);  // met by a cast line: decided, casts none but rule 1
  // Casts the line of segment p; one that only checks removes nothing and answers false when a
  // live segment would go.
  auto cast = [&](int32_t p, bool checkOnly) {
    const bool vertical =
        std::fabs(double{sg[p].x0} - sg[p].x1) > std::fabs(double{sg[p].y0} - sg[p].y1);
    const double m =
        vertical ? (double{sg[p].x0} + sg[p].x1) * 0.5 : (double{sg[p].y0} + sg[p].y1) * 0.5;
    const int sign = vertical ? -1 : 1;
    std::vector<JWeldCrossing> rec;
    for (int32_t k = 0; k < T().segmentCount; ++k) {
      if (sg[k].flags < 0 || sg[k].flags > 99) continue;
      const double a = vertical ? sg[k].x0 : sg[k].y0, b = vertical ? sg[k].x1 : sg[k].y1;
      const double e0 = vertical ? sg[k].y0 : sg[k].x0, e1 = vertical ? sg[k].y1 : sg[k].x1;
      if (!((a > m && b <= m) || (a <= m && b > m))) continue;
      met[k] = true;
      double angle = static_cast<float>(jMathAtan(b - a, e1 - e0));
      if (angle < 0) angle += 3.1415927410125732;
      rec.push_back({static_cast<int16_t>(b >= a ? sign : -sign), k,
                     (m - a) * (e1 - e0) / (b - a) + e0, angle});
    }
    auto before = [](const JWeldCrossing &l, const JWeldCrossing &r) {
      if (l.position != r.position) return l.position < r.position;
      if (l.angle != r.angle) return l.angle > r.angle;
      if (l.step != r.step) return l.step > r.step;
      return l.step > 0 ? l.segment < r.segment : l.segment > r.segment;
    };
    std::stable_sort(rec.begin(), rec.end(), before);
    int w = 0;
    for (const JWeldCrossing &r : rec) {
      const int old = w;
      w += r.step;
      const bool keep = T().rule == 2   ? (old == 1 && w >= 2) || (old >= 2 && w == 1)
                        : T().rule == 3 ? old == 1 || w == 1
                                        : (old == 0 && w >= 1) || (old >= 1 && w == 0);
      if (keep) continue;
      if (checkOnly && weldIsLive(sg[r.segment].flags)) return false;
      if (!checkOnly) sg[r.segment].flags = 0;
    }
    return true;
  };
  // Base contours, pieces, then the unmet segments that split contours kept whole.
  for (int32_t k = T().rule == 1 ? last : 0; k <= 2 * last; ++k) {
    const int32_t c = k <= last ? k : k - last - 1;
    if (k > last && std::none_of(sg + T().contours[c].first, sg + T().contours[c].end,
                                 [](const JWeldSegment &g) { return g.flags == -1; }))
      continue;
    for (int32_t p = T().contours[c].first; p < T().contours[c].end; ++p) {
      if (sg[p].flags <= 0 || (k > last && met[p])) continue;
      if (met[p] && T().rule != 1) {
        if (c != last) break;
        continue;
      }
      cast(p, false);
      if (c != last && k <= last) break;
    }
  }
  // A batch of rule 1 leaves the whole path to decide where a line from elsewhere could remove
  // a segment that no line of its own met.
  if (T().rule == 1 && T().checkLines)
    for (int32_t p = 0; p < T().segmentCount; ++p)
      if (sg[p].flags > 0 && !met[p] && !cast(p, true)) {
        T().wholeNeeded = true;
        return false;
      }
  discardNonLive();
  return true;
}

void trace(JVect *path) {
  jVectClear(path);
  JWeldSegment *sg = T().segments;
  const int32_t n = T().segmentCount;
  for (int32_t f = 0; f < n; ++f) {
    if (!weldIsLive(sg[f].flags) || !(sg[f].flags & 2)) continue;
    const int32_t mark = jVectGetNum(path);
    jVectAddPoint(path, -2, 1, sg[f].x0, sg[f].y0);
    jVectAddPoint(path, -2, (sg[f].flags & 4) ? 2 : 11, sg[f].x1, sg[f].y1);
    sg[f].flags = 0;
    int32_t cur = f;
    for (;;) {
      int32_t other = -1, same = -1;
      for (int32_t k = 0; k < n; ++k) {
        if (!weldIsLive(sg[k].flags) || sg[k].x0 != sg[cur].x1 || sg[k].y0 != sg[cur].y1) continue;
        if (sg[k].source != sg[cur].source && other < 0) other = k;
        if (sg[k].source == sg[cur].source && same < 0) same = k;
      }
      const int32_t next = other >= 0 ? other : same;
      if (next < 0) break;
      const int16_t fl = sg[next].flags;
      jVectAddPoint(path, -2, !(fl & 4) ? 11 : (fl & 2) ? 2 : 12, sg[next].x1, sg[next].y1);
      sg[next].flags = 0;
      cur = next;
    }
    const int32_t added = jVectGetNum(path) - mark;
    if (added <= 3 || sg[cur].x1 != sg[f].x0 || sg[cur].y1 != sg[f].y0)
      jVectRewindPoint(path, added);
  }
}

bool stages(JVect *path, void *) {
  T().contourCount = T().segmentCount = 0;
  T().unevenCancel = false;
  T().checkLines = path->count < T().batchedRecords;
  if (!weldBuildSegments(path)) return false;
  cancelSharedEdges();
  if (!splitAtCrossings() || !classify()) return false;
  trace(path);
  return true;
}

}  // namespace

int32_t combine(JVect *path, int32_t mode) {
  if (path == nullptr || !weldAllocTables()) return 0;
  weldTables.rule = mode;
  int32_t result = 0;
  if (jVectBezToSvt(path, 2) == 1) {
    jVectSweepPoint(path);
    jVectDelNoise(path);
    if (weldStagesByRule(path, stages)) {
      if (mode == 1 || mode == 3) jVectSetLoopDir(path, 1);
      result = 1;
    }
  }
  weldFreeTables();
  return result;
}

}  // namespace reference
