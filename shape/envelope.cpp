// jVectransShapeEffect: flatten the path, move every point by the envelope, fit curves again.
#include <cmath>

#include "outlina/fit.h"
#include "outlina/params.h"
#include "path/centred.h"
#include "shape/envelope_formula.h"

namespace outlina {
namespace {

constexpr double kPercent = 100.0;

int32_t vectransShapeEffect(const JVectransShapeParam &param, JVect *path) {
  const float w = param.maxX - param.minX;
  const float h = param.maxY - param.minY;
  // Every formula divides by the box's extent; a flat or undefined box has no shape to follow.
  if (!std::isfinite(w) || !std::isfinite(h) || w == 0.0f || h == 0.0f) return 0;
  // Straight segments are subdivided too, so that they can bend.
  if (jVectBezToSvt(path, JVF_ALL) != 1) return 0;

  const EnvelopeBox box =
      envelopeBox(static_cast<float>(param.ratio / kPercent), w, h);
  const int32_t count = jVectGetNum(path);
  for (int32_t i = 0; i < count; ++i) {
    int32_t mode = 0;
    float x = 0.0f, y = 0.0f;
    jVectGetPoint(path, i, &mode, &x, &y);
    const Pt moved = envelopeMove(param.type, box,
                                  {static_cast<double>(x) - param.minX,
                                   static_cast<double>(y) - param.minY});
    jVectSetPoint(path, i, static_cast<int16_t>(mode), static_cast<float>(param.minX + moved.x),
                  static_cast<float>(param.minY + moved.y));
  }

  // A path that could not be fitted again keeps its flattened runs and is no finished result.
  if (jVectSvtToBez(path) != 1) return 0;
  jVectGetLine(path);
  jVectSetAttri(path);
  return 1;
}

}  // namespace
}  // namespace outlina

extern "C" OUTLINA_API int32_t jVectransShapeEffect(const JVectransShapeParam *param,
                                                    JVect *path) {
  if (param == nullptr || path == nullptr) return 0;
  using namespace outlina;
  const double w = double{param->maxX} - param->minX, h = double{param->maxY} - param->minY;
  const Centre c{static_cast<float>((double{param->minX} + param->maxX) * 0.5),
                 static_cast<float>((double{param->minY} + param->maxY) * 0.5)};
  // Far from the origin the flattening and the fitting run on the path moved by the centre of
  // the reference box, which keeps the positions relative to the box; a path about the origin
  // keeps its own coordinates, where moving would only round its points anew.
  const bool far = w > 0 && h > 0 && std::isfinite(c.x) && std::isfinite(c.y) &&
                   (std::fabs(c.x) > w || std::fabs(c.y) > h);
  if (!far) return vectransShapeEffect(*param, path);
  JVectransShapeParam moved = *param;
  moved.minX -= c.x;
  moved.maxX -= c.x;
  moved.minY -= c.y;
  moved.maxY -= c.y;
  shiftPath(path, -c.x, -c.y);
  const int32_t result = vectransShapeEffect(moved, path);
  shiftPath(path, c.x, c.y);
  return result;
}
