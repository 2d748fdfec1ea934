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

// Appends points at the end of a path as jVectAddPoint does, keeping the write position in a
// register between points: only a path that must grow takes the call. The count is stored
// back when the appender goes.
class PathAppender {
 public:
  explicit PathAppender(JVect *path) : path_(path) { reload(); }
  ~PathAppender() { path_->count = static_cast<int32_t>(next_ - path_->points); }
  PathAppender(const PathAppender &) = delete;
  PathAppender &operator=(const PathAppender &) = delete;

  void add(int16_t mode, float x, float y) {
    if (next_ != end_) {
      *next_++ = JVectPoint{mode, x, y, 0};
      return;
    }
    path_->count = static_cast<int32_t>(next_ - path_->points);
    jVectAddPoint(path_, JVECT_LAST, mode, x, y);
    reload();
  }

 private:
  void reload() {
    next_ = path_->points + path_->count;
    end_ = path_->points + path_->capacity;
  }

  JVect *path_;
  JVectPoint *next_, *end_;
};

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
