#include "plinth.h"

#include <cstdlib>

#include "frame/plinth_fault.h"

namespace {

// Countdown of the test-only fault switch: 0 is off, n means the nth allocation from now fails.
int32_t failCountdown = 0;

bool injectedFailure() {
  if (failCountdown <= 0) return false;
  return --failCountdown == 0;
}

}  // namespace

extern "C" {

// calloc: the kernel zeroes large blocks lazily, so the combine's big fixed tables stay cheap.
void *jMemAlloc(uint32_t size) {
  if (size == 0 || injectedFailure()) return nullptr;
  return std::calloc(1, size);
}

void jMemFree(void *block) { std::free(block); }

int32_t jMinMaxJudge(float *box, float x, float y) {
  if (box == nullptr) return 1;
  if (x < box[0]) box[0] = x;
  if (y < box[1]) box[1] = y;
  if (x > box[2]) box[2] = x;
  if (y > box[3]) box[3] = y;
  return 1;
}

void jMemTestFailNth(int32_t n) { failCountdown = n > 0 ? n : 0; }

int32_t jMemTestArmed(void) { return failCountdown > 0 ? 1 : 0; }

}  // extern "C"
