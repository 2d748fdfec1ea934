// The tidy-up that ends every weld effect: curves fitted again where asked, then line points
// merged and flattened points turned into plain line points.
#ifndef OUTLINA_WELD_FINISH_H
#define OUTLINA_WELD_FINISH_H

#include "outlina/path.h"

namespace outlina {

void weldFinish(JVect *path, bool fitCurves);

}  // namespace outlina

#endif
