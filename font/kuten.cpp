// Shift-JIS (code page 932) to JIS X 0208 row and cell and back. The IBM extension codes fold
// onto the rows where the same characters stand in the NEC rows, so a font file holds each
// of them once.
#include <cstdint>

#include "outlina/font.h"

namespace {

// Trail of cell 0 as jFontKuTenToSJIS counts: 63 in odd rows, 157 in even rows.
constexpr int32_t kOddRowTrailBase = 63;
constexpr int32_t kEvenRowTrailBase = 157;

// JIS X 0208 bytes carry row and cell offset by this much.
constexpr int32_t kJisOffset = 32;
constexpr uint32_t kCellsPerRow = 94;

// Trail byte 0x7F never occurs in Shift-JIS.
constexpr uint32_t kNoTrail = 0x7F;
// Odd rows take the trail bytes from 0x40, even rows those from 0x9F.
constexpr uint32_t kFirstTrail = 0x40;
constexpr uint32_t kEvenRowFirstTrail = 0x9F;
// Lead bytes run 0x81 to 0x9F, then jump over the single-byte katakana to 0xE0 to 0xFC.
constexpr uint32_t kFirstLead = 0x81;
constexpr uint32_t kLastLowLead = 0x9F;
constexpr uint32_t kKatakanaSkip = 0x40;
constexpr uint32_t kLastByte = 0xFC;

bool isLeadByte(uint32_t byte) {
  return (byte >= kFirstLead && byte <= kLastLowLead) ||
         (byte >= kLastLowLead + 1 + kKatakanaSkip && byte <= kLastByte);
}

bool isTrailByte(uint32_t byte) {
  return byte >= kFirstTrail && byte <= kLastByte && byte != kNoTrail;
}

// One run of IBM extension codes and where it lands: either a fixed row with cell
// code - base, or (spread) a run through rows 89 to 92 with d = code - base.
struct IbmRun {
  uint32_t first, last;
  int32_t ku;
  uint32_t base;
  bool spread;
};

constexpr IbmRun kIbmRuns[] = {
    {0xFA40, 0xFA49, 92, 0xF9EF, false}, {0xFA4A, 0xFA53, 13, 0xFA35, false},
    {0xFA54, 0xFA57, 92, 0xF9F9, false}, {0xFA5C, 0xFA7E, 89, 0xFA5C, true},
    {0xFA80, 0xFAFC, 89, 0xFA5D, true},  {0xFB40, 0xFB7E, 90, 0xFAFE, true},
    {0xFB80, 0xFBFC, 91, 0xFB5D, true},  {0xFC40, 0xFC4B, 92, 0xFBFE, true},
};

// Single IBM codes that sit in NEC row 13.
struct IbmSingle {
  uint32_t code;
  int32_t ten;
};
constexpr int32_t kNecSpecialRow = 13;
constexpr IbmSingle kIbmSingles[] = {{0xFA58, 74}, {0xFA59, 66}, {0xFA5A, 68}, {0xFA5B, 90}};

bool ibmKuTen(uint32_t code, int32_t *ku, int32_t *ten) {
  for (const IbmSingle &single : kIbmSingles) {
    if (code == single.code) {
      *ku = kNecSpecialRow;
      *ten = single.ten;
      return true;
    }
  }
  for (const IbmRun &run : kIbmRuns) {
    if (code < run.first || code > run.last) continue;
    const uint32_t d = code - run.base;
    if (run.spread) {
      *ku = run.ku + static_cast<int32_t>(d / kCellsPerRow);
      *ten = static_cast<int32_t>(d % kCellsPerRow + 1);
    } else {
      *ku = run.ku;
      *ten = static_cast<int32_t>(d);
    }
    return true;
  }
  return false;
}

// The standard Shift-JIS to JIS X 0208 conversion; 0 for a pair outside rows 1 to 94.
uint32_t shiftJisToJis(uint32_t lead, uint32_t trail) {
  if (!isLeadByte(lead) || !isTrailByte(trail)) return 0;
  // Each lead byte covers two rows: the odd one with trail bytes below 0x9F, the even one
  // from 0x9F.
  const uint32_t pair =
      lead <= kLastLowLead ? lead - kFirstLead : lead - kFirstLead - kKatakanaSkip;
  uint32_t ku = pair * 2 + 1;
  uint32_t ten;
  if (trail >= kEvenRowFirstTrail) {
    ++ku;
    ten = trail - kEvenRowFirstTrail + 1;
  } else {
    ten = trail - kFirstTrail + 1 - (trail > kNoTrail ? 1 : 0);
  }
  if (ku > kCellsPerRow) return 0;
  return (ku + kJisOffset) << 8 | (ten + kJisOffset);
}

}  // namespace

extern "C" {

int32_t jFontSJISToKuTen(uint32_t code, int32_t *ku, int32_t *ten) {
  int32_t row, cell;
  if (!isLeadByte(code >> 8)) {
    row = 0;
    cell = static_cast<int32_t>(code);
  } else if (!ibmKuTen(code, &row, &cell)) {
    const uint32_t jis = shiftJisToJis(code >> 8, code & 0xFF);
    row = static_cast<int32_t>(jis >> 8) - kJisOffset;
    cell = static_cast<int32_t>(jis & 0xFF) - kJisOffset;
  }
  if (ku != nullptr) *ku = row;
  if (ten != nullptr) *ten = cell;
  return 1;
}

int32_t jFontKuTenToSJIS(uint16_t *code, int32_t ku, int32_t ten) {
  int32_t value;
  if (ku == 0) {
    value = ten;
  } else {
    // Cells count from trail 0x40 in odd rows and from 0x9F (less the 0x7F gap) in even rows.
    int32_t trail = ten + ((ku & 1) != 0 ? kOddRowTrailBase : kEvenRowTrailBase);
    if (trail >= static_cast<int32_t>(kNoTrail)) ++trail;
    int32_t lead = (ku - 1) / 2 + static_cast<int32_t>(kFirstLead);
    if (lead > static_cast<int32_t>(kLastLowLead)) lead += static_cast<int32_t>(kKatakanaSkip);
    value = (lead & 0xFF) << 8 | (trail & 0xFF);
  }
  if (code != nullptr) *code = static_cast<uint16_t>(value);
  return 1;
}

}  // extern "C"
