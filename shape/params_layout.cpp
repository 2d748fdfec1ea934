// The parameter records cross the interface by layout: pin every field's place and size.
#include <cstddef>

#include "outlina/params.h"

static_assert(sizeof(float) == 4 && sizeof(int32_t) == 4);

static_assert(sizeof(JWeldOffsetParam) == 32);
static_assert(offsetof(JWeldOffsetParam, distance) == 0);
static_assert(offsetof(JWeldOffsetParam, side) == 4);
static_assert(offsetof(JWeldOffsetParam, horizontal) == 8);
static_assert(offsetof(JWeldOffsetParam, vertical) == 12);
static_assert(offsetof(JWeldOffsetParam, joint) == 16);
static_assert(offsetof(JWeldOffsetParam, miterLimit) == 20);
static_assert(offsetof(JWeldOffsetParam, keepInput) == 24);
static_assert(offsetof(JWeldOffsetParam, curveFit) == 28);

static_assert(sizeof(JWeldWidenParam) == 20);
static_assert(offsetof(JWeldWidenParam, width) == 0);
static_assert(offsetof(JWeldWidenParam, cap) == 4);
static_assert(offsetof(JWeldWidenParam, joint) == 8);
static_assert(offsetof(JWeldWidenParam, miterLimit) == 12);
static_assert(offsetof(JWeldWidenParam, curveFit) == 16);

static_assert(sizeof(JWeldStripeParam) == 20);
static_assert(offsetof(JWeldStripeParam, stripeWidth) == 0);
static_assert(offsetof(JWeldStripeParam, slitWidth) == 4);
static_assert(offsetof(JWeldStripeParam, direction) == 8);
static_assert(offsetof(JWeldStripeParam, stripeAngle) == 12);
static_assert(offsetof(JWeldStripeParam, curveFit) == 16);

static_assert(sizeof(JWeldShadowParam) == 36);
static_assert(offsetof(JWeldShadowParam, type) == 0);
static_assert(offsetof(JWeldShadowParam, option) == 4);
static_assert(offsetof(JWeldShadowParam, dx) == 8);
static_assert(offsetof(JWeldShadowParam, dy) == 12);
static_assert(offsetof(JWeldShadowParam, ratio) == 16);
static_assert(offsetof(JWeldShadowParam, offset) == 20);
static_assert(offsetof(JWeldShadowParam, objectWidth) == 24);
static_assert(offsetof(JWeldShadowParam, objectHeight) == 28);
static_assert(offsetof(JWeldShadowParam, curveFit) == 32);

static_assert(sizeof(JVectransShapeParam) == 24);
static_assert(offsetof(JVectransShapeParam, type) == 0);
static_assert(offsetof(JVectransShapeParam, ratio) == 4);
static_assert(offsetof(JVectransShapeParam, minX) == 8);
static_assert(offsetof(JVectransShapeParam, minY) == 12);
static_assert(offsetof(JVectransShapeParam, maxX) == 16);
static_assert(offsetof(JVectransShapeParam, maxY) == 20);
