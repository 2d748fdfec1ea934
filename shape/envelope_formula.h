// The 32 envelope shapes as one point formula, shared by the effect and the dialog's previews.
#ifndef OUTLINA_SHAPE_ENVELOPE_FORMULA_H
#define OUTLINA_SHAPE_ENVELOPE_FORMULA_H

#include <cstdint>

#include "geom/pt.h"

namespace outlina {

// Shape types run from 1 to 32; every other type leaves points where they are.
constexpr int32_t kEnvelopeFirstType = 1;
constexpr int32_t kEnvelopeLastType = 32;

// The quantities derived once per box, each held as a 32-bit float.
struct EnvelopeBox {
  float k;  // strength: a quarter of the fraction, so 100 % moves by a quarter of the box
  float w;
  float h;
  float hw;
  float hh;
};

// k = strength * 0.25 over a box of width w and height h.
EnvelopeBox envelopeBox(float strength, float w, float h);

// True for the types whose formula replaces y (the remainder keeps the sign of type - 1, so
// types below 1 count as moving y as well).
bool envelopeMovesY(int32_t type);

// Moves the point p, given relative to the box's minimum corner, by the shape of type.
Pt envelopeMove(int32_t type, const EnvelopeBox &box, Pt p);

}  // namespace outlina

#endif
