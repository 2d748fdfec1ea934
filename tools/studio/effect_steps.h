// The effects a person applies in the studio, written as the command line's own steps, so that
// the studio and the outlina program run the same code on the same values.
#ifndef OUTLINA_TOOLS_STUDIO_EFFECT_STEPS_H
#define OUTLINA_TOOLS_STUDIO_EFFECT_STEPS_H

#include <QString>

#include "options.h"
#include "outlina.h"

namespace outlina::studio {

struct EffectStep {
  cli::Step step;   // for example {"--shadow", "drop,dx=1,dy=-1,ratio=50,offset=0.5,option=0"}
  QString caption;  // the entry in the list of applied effects
};

EffectStep weldStep(int32_t mode);
EffectStep offsetStep(const JWeldOffsetParam &r);
EffectStep widenStep(const JWeldWidenParam &r);
EffectStep stripeStep(const JWeldStripeParam &r);
EffectStep shadowStep(const JWeldShadowParam &r);
EffectStep envelopeStep(const JVectransShapeParam &r);

}  // namespace outlina::studio

#endif
