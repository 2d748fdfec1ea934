// The shadow dialog's picture of the chosen shadow kind on the host's selection.
#ifndef OUTLINA_WELD_UI_SHADOW_PREVIEW_H
#define OUTLINA_WELD_UI_SHADOW_PREVIEW_H

#include <QSize>

#include "outlina/params.h"

class QPainter;

namespace outlina {

// Draws the selection scaled so that its longer side is 100 pixels, centred in a frame of the
// given window size, with its shadow in black under it in red. A selection without a positive
// longer side leaves the frame cleared.
void weldShadowPreview(QPainter *dc, QSize window, const JWeldShadowParam &param);

}  // namespace outlina

#endif
