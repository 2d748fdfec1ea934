/* Font registry, Japanese character codes and glyph outlines. */
#ifndef OUTLINA_FONT_H
#define OUTLINA_FONT_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

OUTLINA_END_DECLS

#endif
