/* Outlina: vector-outline engine. Everything except the dialogs (outlina_ui.h).
   Every function answers a null handle or a bad argument with its failure result. */
#ifndef OUTLINA_H
#define OUTLINA_H

#include "plinth.h"
#include "outlina/path.h"
#include "outlina/geom.h"
#include "outlina/curve.h"
#include "outlina/fit.h"
#include "outlina/offset.h"
#include "outlina/font.h"
#include "outlina/weld.h"
#include "outlina/params.h"
#include "outlina/effects.h"

#endif
