// Radio buttons that more than one weld dialog shares.
#ifndef OUTLINA_WELD_UI_WELD_CHOICES_H
#define OUTLINA_WELD_UI_WELD_CHOICES_H

#include "outlina/offset.h"
#include "ui/dialog.h"

namespace outlina {

// Decimals of the number edits, and the ranges the length and mitre-limit edits are held to.
constexpr int kTwoDecimals = 2;
constexpr int kOneDecimal = 1;
constexpr NumberRange kLengthRange{0.0, 500.0};
constexpr NumberRange kMiterLimitRange{0.0, 100.0};

constexpr int kIdLengthEdit = 1142;
constexpr int kIdMiterLimitEdit = 1012;

// Mitre, round and bevel joints.
constexpr Choice kJointChoices[] = {{1009, JVJ_MITER}, {1010, JVJ_ROUND}, {1011, JVJ_BEVEL}};

}  // namespace outlina

#endif
