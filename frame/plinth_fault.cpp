#include "frame/plinth_fault.h"

namespace outlina {
namespace {

// Countdown of the switch: 0 is off, n means the nth allocation from now fails.
int32_t failCountdown = 0;

}  // namespace

bool injectedFailure() {
  if (failCountdown <= 0) return false;
  return --failCountdown == 0;
}

}  // namespace outlina

extern "C" {

void jMemTestFailNth(int32_t n) { outlina::failCountdown = n > 0 ? n : 0; }

int32_t jMemTestArmed(void) { return outlina::failCountdown > 0 ? 1 : 0; }

}  // extern "C"
