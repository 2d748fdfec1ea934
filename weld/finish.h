// The tidy-up that ends every weld effect: curves fitted again where asked, then line points
// merged and flattened points turned into plain line points. False when the curves cannot be
// fitted for want of memory (the path is then left flattened).
#ifndef OUTLINA_WELD_FINISH_H
#define OUTLINA_WELD_FINISH_H

#include <cstdint>

#include "outlina/path.h"
#include "path/centred.h"  // every effect runs centred

namespace outlina {

bool weldFinish(JVect *path, bool fitCurves);

}  // namespace outlina

#endif
