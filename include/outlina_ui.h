/* Outlina dialogs and preview drawing (library outlina_ui).
   A window handle is a QWidget* passed as void* (null: the dialog is top-level); a device
   context is a QPainter* passed as void*. The dialogs are modal, need a running QApplication
   and must be called from its thread. Each returns 1 after OK (the record is written), 0 after
   Cancel (the record is untouched) and -1 when the dialog cannot be shown: a null record, no
   QApplication, or a call from another thread. Each dialog reopens where it was last closed. */
#ifndef OUTLINA_UI_H
#define OUTLINA_UI_H

#include <stdint.h>

#include "outlina/export.h"
#include "outlina/params.h"

OUTLINA_BEGIN_DECLS

/* A colour value: red in the low byte, then green, then blue. */
#define JRGB(r, g, b) \
  ((uint32_t)(uint8_t)(r) | ((uint32_t)(uint8_t)(g) << 8) | ((uint32_t)(uint8_t)(b) << 16))

/* Brush styles of jRectangle. */
enum JBrushStyle {
  JBS_SOLID = 0,   /* filled with the fill colour */
  JBS_HOLLOW = 1,  /* not filled */
  JBS_HATCHED = 2  /* horizontal hatch lines in the fill colour */
};

/* The weld rule: *mode is 1 union, 2 intersection or 3 hole extraction. */
OUTLINA_API int32_t jWeldDlg(void *parent, int32_t *mode);
/* Offset distance, side, axes, joint, mitre limit and keep-input; OK sets curveFit to 1. */
OUTLINA_API int32_t jWeldOffsetDlg(void *parent, JWeldOffsetParam *param);
/* Shadow kind, displacement, far-face ratio, offset and option, with a preview of the kind. */
OUTLINA_API int32_t jWeldShadowDlg(void *parent, JWeldShadowParam *param);
/* Stripe and slit widths, direction and angle. */
OUTLINA_API int32_t jWeldStripeDlg(void *parent, JWeldStripeParam *param);
/* Stroke width, cap, joint and mitre limit; OK sets curveFit to 1. */
OUTLINA_API int32_t jWeldWidenDlg(void *parent, JWeldWidenParam *param);
/* Envelope shape and strength, with previews of every shape on the reference box. */
OUTLINA_API int32_t jVectransShapeDlg(void *parent, JVectransShapeParam *param);

/* Fills the rectangle from (left, top) to (right, bottom), both corners included, with a
   one-pixel pen of lineColour and a brush of brushStyle in fillColour; the painter's pen, brush
   and hints are restored. 1; 0 for a null painter. */
OUTLINA_API int32_t jRectangle(void *dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                               uint32_t lineColour, uint32_t fillColour, uint32_t brushStyle);

OUTLINA_END_DECLS

#endif
