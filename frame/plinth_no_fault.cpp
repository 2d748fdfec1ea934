#include "frame/plinth_fault.h"

namespace outlina {

// The shipped Plinth has no fault switch: it fails an allocation only when memory runs out.
bool injectedFailure() { return false; }

}  // namespace outlina
