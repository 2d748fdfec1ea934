// A literal, scan-everything version of the combine stages that the indexed stages must match
// result for result.
#ifndef OUTLINA_TESTS_WELD_COMBINE_REFERENCE_H
#define OUTLINA_TESTS_WELD_COMBINE_REFERENCE_H

#include <cstdint>

#include "outlina/path.h"

namespace reference {

// jWeldCombineVect with plain scanning stages in place of the indexed ones.
int32_t combine(JVect *path, int32_t mode);

}  // namespace reference

#endif
