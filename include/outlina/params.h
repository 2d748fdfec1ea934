/* Parameter records of the effects and dialogs, and the envelope effect.
   Every record is a plain array of 32-bit fields that the host owns; a dialog fills it and the
   matching effect reads it. */
#ifndef OUTLINA_PARAMS_H
#define OUTLINA_PARAMS_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

/* Outline offset, read by jWeldOffset and edited by jWeldOffsetDlg. */
typedef struct JWeldOffsetParam {
  float distance;     /* offset distance */
  int32_t side;       /* 0 outward, 1 inward (negates distance), other values as 0 */
  int32_t horizontal; /* 1: offset along x */
  int32_t vertical;   /* 1: offset along y; both or neither ticked offsets both ways */
  int32_t joint;      /* corner joint: 4 mitre, 5 round, 6 bevel */
  float miterLimit;   /* mitre limit */
  int32_t keepInput;  /* non-zero: the input outline is added to the result */
  int32_t curveFit;   /* non-zero: curves are fitted to the result */
} JWeldOffsetParam;

/* Stroke widening, read by jWeldWiden and edited by jWeldWidenDlg. */
typedef struct JWeldWidenParam {
  float width;      /* full stroke width */
  int32_t cap;      /* end cap: 1 square, 2 round, 3 flat */
  int32_t joint;    /* corner joint: 4 mitre, 5 round, 6 bevel */
  float miterLimit; /* mitre limit */
  int32_t curveFit; /* non-zero: curves are fitted to the result */
} JWeldWidenParam;

/* Stripes, read by jWeldStripe and edited by jWeldStripeDlg. */
typedef struct JWeldStripeParam {
  float stripeWidth; /* width of each band that is kept */
  float slitWidth;   /* width of each gap that is cut away */
  int32_t direction; /* 0 horizontal bands, 1 vertical bands, any other value at stripeAngle */
  float stripeAngle; /* degrees: 90 gives vertical bands, 0 horizontal ones */
  int32_t curveFit;  /* non-zero: curves are fitted to the result */
} JWeldStripeParam;

/* Shadow kinds of JWeldShadowParam.type. */
enum JWeldShadowType {
  JWST_BLOCK = 0,      /* side faces extruded by (dx, dy) */
  JWST_DROP = 1,       /* a copy moved by (dx, dy) */
  JWST_CAST = 2,       /* slanted and flattened onto the bottom line */
  JWST_PERSPECTIVE = 3 /* side faces extruded towards a far face scaled by ratio percent */
};

/* How jWeldShadow combines the shadow with the outlines (JWeldShadowParam.option). */
enum JWeldShadowOption {
  JWSO_MERGE = 0,           /* outlines and their shadow, merged */
  JWSO_CUT_OUTLINES = 1,    /* the shadow alone, with the outlines cut out of it */
  JWSO_CUT_OFFSET = 2,      /* the shadow, with an offset of the outlines cut out of it */
  JWSO_OFFSET = 3,          /* the offset outlines and their shadow, merged */
  JWSO_OFFSET_HOLES = 4,    /* as 3, with the input outlines added as holes */
  JWSO_OFFSET_CUT_OFFSET = 5 /* the offset outlines' shadow, with them cut out of it */
};

/* Shadow, read by jWeldShadow and edited by jWeldShadowDlg. */
typedef struct JWeldShadowParam {
  int32_t type;       /* a JWeldShadowType */
  int32_t option;     /* a JWeldShadowOption */
  float dx;           /* shadow displacement in x */
  float dy;           /* shadow displacement in y */
  float ratio;        /* far face in percent of the outline, perspective kind only */
  float offset;       /* offset distance of options 2 to 5 */
  float objectWidth;  /* width of the host's selection, for the dialog's preview only */
  float objectHeight; /* height of the host's selection, for the dialog's preview only */
  int32_t curveFit;   /* non-zero: curves are fitted to the result */
} JWeldShadowParam;

/* Envelope shape, read by jVectransShapeEffect and edited by jVectransShapeDlg. */
typedef struct JVectransShapeParam {
  int32_t type;  /* shape 1 to 32; any other value leaves every point where it is */
  int32_t ratio; /* strength in percent, used unchanged by the effect */
  float minX;    /* reference box */
  float minY;
  float maxX;
  float maxY;
} JVectransShapeParam;

/* Bends the path into the envelope shape of param over its reference box: flattens every
   segment, moves every point, fits curves again. 1; 0 for a null record or path, a reference box
   without width or height (path untouched), or a failed flattening. */
OUTLINA_API int32_t jVectransShapeEffect(const JVectransShapeParam *param, JVect *path);

OUTLINA_END_DECLS

#endif
