#include "effect_steps.h"

#include <charconv>
#include <string>

namespace outlina::studio {
namespace {

// The shortest text that reads back as the same float, so nothing is lost on the way.
std::string number(float v) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
  return std::string(buffer, end);
}

QString mm(float v) { return QString::number(v, 'f', 2) + QStringLiteral(" mm"); }
QString twoDecimals(float v) { return QString::number(v, 'f', 2); }

const char *jointName(int32_t joint) {
  return joint == JVJ_ROUND ? "round" : joint == JVJ_BEVEL ? "bevel" : "miter";
}

std::string fitFlag(int32_t curveFit) { return curveFit ? "" : ",nofit"; }

}  // namespace

EffectStep weldStep(int32_t mode) {
  const char *rule = mode == JWM_INTERSECT ? "intersect" : mode == JWM_HOLE ? "hole" : "union";
  const char *caption = mode == JWM_INTERSECT ? "陰線処理（交差）"
                        : mode == JWM_HOLE    ? "陰線処理（中マド）"
                                              : "陰線処理（合体）";
  return {{"--weld", rule}, QString::fromUtf8(caption)};
}

EffectStep offsetStep(const JWeldOffsetParam &r) {
  // Both or neither direction ticked offsets both ways.
  const char *axis = r.horizontal && !r.vertical ? "x" : r.vertical && !r.horizontal ? "y" : "both";
  std::string value = number(r.distance) + ",side=" + (r.side == 1 ? "in" : "out") +
                      ",axis=" + axis + ",joint=" + jointName(r.joint) +
                      ",limit=" + number(r.miterLimit) + (r.keepInput ? ",keep" : "") +
                      fitFlag(r.curveFit);
  return {{"--offset", value},
          QString::fromUtf8(r.side == 1 ? "オフセット処理（内側 " : "オフセット処理（外側 ") +
              mm(r.distance) + QStringLiteral("）")};
}

EffectStep widenStep(const JWeldWidenParam &r) {
  const char *cap = r.cap == JVC_ROUND ? "round" : r.cap == JVC_FLAT ? "flat" : "square";
  return {{"--widen", number(r.width) + ",cap=" + cap + ",joint=" + jointName(r.joint) +
                          ",limit=" + number(r.miterLimit) + fitFlag(r.curveFit)},
          QString::fromUtf8("線幅処理（") + mm(r.width) + QStringLiteral("）")};
}

EffectStep stripeStep(const JWeldStripeParam &r) {
  const std::string dir = r.direction == 0   ? "horizontal"
                          : r.direction == 1 ? "vertical"
                                             : number(r.stripeAngle);
  return {{"--stripe",
           number(r.stripeWidth) + ":" + number(r.slitWidth) + ",dir=" + dir + fitFlag(r.curveFit)},
          QString::fromUtf8("ストライプ処理（") + twoDecimals(r.stripeWidth) + " / " +
              mm(r.slitWidth) + QStringLiteral("）")};
}

EffectStep shadowStep(const JWeldShadowParam &r) {
  static const char *const kinds[] = {"block", "drop", "cast", "perspective"};
  static const char *const captions[] = {"ブロック", "ドロップ", "キャスト", "パース"};
  const int kind = r.type >= JWST_BLOCK && r.type <= JWST_PERSPECTIVE ? r.type : JWST_BLOCK;
  return {{"--shadow", std::string(kinds[kind]) + ",dx=" + number(r.dx) + ",dy=" + number(r.dy) +
                           ",ratio=" + number(r.ratio) + ",offset=" + number(r.offset) +
                           ",option=" + std::to_string(r.option) + fitFlag(r.curveFit)},
          QString::fromUtf8("影付け（%1 %2, %3 mm）")
              .arg(QString::fromUtf8(captions[kind]), twoDecimals(r.dx), twoDecimals(r.dy))};
}

EffectStep envelopeStep(const JVectransShapeParam &r) {
  return {{"--envelope", std::to_string(r.type) + ":" + std::to_string(r.ratio)},
          QString::fromUtf8("シェイプ処理（%1, %2%）").arg(r.type).arg(r.ratio)};
}

}  // namespace outlina::studio
