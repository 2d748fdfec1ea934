// Exits 0 when a point rounded to floats inside double arithmetic keeps its rounding, 1 when the
// optimiser has dropped the double -> float -> double round trip.
#include <cstdio>

struct Pt {
  double x, y;
};

__attribute__((noinline)) Pt roundedQuadruple(Pt a, Pt b, double k) {
  const Pt q{a.x + k * b.x, a.y + k * b.y};
  const Pt r{static_cast<float>(q.x), static_cast<float>(q.y)};
  return {r.x * 4.0, r.y * 4.0};
}

int main() {
  // Read through volatiles so that the compiler cannot fold the call away.
  volatile double ax = 0.1, ay = 0.2, bx = 0.3, by = 0.7, k = 1.0 / 3;
  const Pt p = roundedQuadruple({ax, ay}, {bx, by}, k);
  const double expected = 4.0 * static_cast<double>(static_cast<float>(ax + k * bx));
  std::printf("%.17g %.17g\n", p.x, expected);
  return p.x == expected ? 0 : 1;
}
