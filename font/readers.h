// The glyph readers that jFontGlyphVect dispatches to, one per font kind, and what they share.
#ifndef OUTLINA_FONT_READERS_H
#define OUTLINA_FONT_READERS_H

#include <cstdint>

#include "outlina/font.h"

namespace outlina {

// Each reader fills info and metrics, appends the glyph to path in a cell em units high and
// answers 1, or 0 when it fails.
int32_t fontReadKuTenGlyph(JFontHandle *handle, uint32_t code, int32_t direction,
                           JFontGlyphInfo *info, JFontGlyphMetrics *metrics, JVect *path,
                           int32_t em);
int32_t fontReadIndxGlyph(JFontHandle *handle, uint32_t code, int32_t direction,
                          JFontGlyphInfo *info, JFontGlyphMetrics *metrics, JVect *path,
                          int32_t em);
int32_t fontReadInstalledGlyph(JFontHandle *handle, uint32_t code, int32_t direction,
                               JFontGlyphInfo *info, JFontGlyphMetrics *metrics, JVect *path,
                               int32_t em);

// The defaults every reader starts from: ku and ten of code, the direction, flag 1, the date
// "0000/00/00"; metrics 0, 0, 10000, 0.
void fontGlyphDefaults(uint32_t code, int32_t direction, JFontGlyphInfo *info,
                       JFontGlyphMetrics *metrics);

// The read-only file descriptor that jFontOpen put into a kind-11/12 handle's object,
// -1 when the file could not be opened. object holds descriptor + 1 so that null means none.
inline int fontFileDescriptor(const JFontHandle *handle) {
  return static_cast<int>(reinterpret_cast<intptr_t>(handle->object)) - 1;
}
inline void *fontFileObject(int descriptor) {
  return reinterpret_cast<void *>(static_cast<intptr_t>(descriptor) + 1);
}

}  // namespace outlina

#endif
