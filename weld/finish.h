// The tidy-up that ends every weld effect: slivers of rounding cut, crumbs dropped, curves fitted
// again where asked, then line points merged and flattened points turned into plain line points.
// `where` is the centre the effect moved the work by. False when memory runs out (the path is
// then left flattened).
#ifndef OUTLINA_WELD_FINISH_H
#define OUTLINA_WELD_FINISH_H

#include <cstdint>

#include "outlina/path.h"
#include "path/centred.h"  // every effect runs centred

namespace outlina {

bool weldFinish(JVect *path, bool fitCurves, Centre where);

}  // namespace outlina

#endif
