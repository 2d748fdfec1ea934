// The angle constants that the geometry is written with. They are deliberately the short
// decimal values, not full-precision pi, so that every stage agrees on the same numbers.
#ifndef OUTLINA_GEOM_CONSTANTS_H
#define OUTLINA_GEOM_CONSTANTS_H

namespace outlina {

// Half a turn.
constexpr double kPi = 3.1415926535;
// A quarter turn; what jMathAtan answers on the y axis.
constexpr double kHalfPi = 1.57079632675;
// One full turn.
constexpr double kTwoPi = 6.283185307;
// The step in x that moves coincident points apart: 0.01 as a float, widened to double
// (0.009999999776482582).
constexpr double kNudge = static_cast<double>(0.01f);

}  // namespace outlina

#endif
