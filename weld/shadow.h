// The shadow path that the shadow effect merges with the outlines.
#ifndef OUTLINA_WELD_SHADOW_H
#define OUTLINA_WELD_SHADOW_H

#include "outlina/params.h"
#include "outlina/path.h"

namespace outlina {

// A new path (the caller closes it) with the shadow of path for record.type; null when a path
// cannot be opened or an append fails. Block and perspective flatten path in place first.
JVect *weldBuildShadow(const JWeldShadowParam &record, JVect *path);

}  // namespace outlina

#endif
