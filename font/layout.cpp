// The font records cross the C interface by layout; pin sizes and offsets here.
#include <cstddef>

#include "outlina/font.h"

static_assert(sizeof(JFontEntry) == 336);
static_assert(offsetof(JFontEntry, kind) == 0);
static_assert(offsetof(JFontEntry, name) == 4);
static_assert(offsetof(JFontEntry, path) == 68);
static_assert(offsetof(JFontEntry, charset) == 328);
static_assert(offsetof(JFontEntry, user) == 332);

static_assert(sizeof(JFontGlyphInfo) == 14);
static_assert(offsetof(JFontGlyphInfo, ku) == 0);
static_assert(offsetof(JFontGlyphInfo, ten) == 1);
static_assert(offsetof(JFontGlyphInfo, direction) == 2);
static_assert(offsetof(JFontGlyphInfo, flag) == 3);
static_assert(offsetof(JFontGlyphInfo, date) == 4);

static_assert(sizeof(JFontGlyphMetrics) == 8);
static_assert(offsetof(JFontGlyphMetrics, originX) == 0);
static_assert(offsetof(JFontGlyphMetrics, originY) == 2);
static_assert(offsetof(JFontGlyphMetrics, advance) == 4);
static_assert(offsetof(JFontGlyphMetrics, margin) == 6);

static_assert(offsetof(JFont, entries) == 0);
static_assert(offsetof(JFont, capacity) == sizeof(void *));
static_assert(offsetof(JFont, count) == sizeof(void *) + 4);

static_assert(offsetof(JFontHandle, font) == 0);
static_assert(offsetof(JFontHandle, entry) == sizeof(void *));
static_assert(offsetof(JFontHandle, dc) == sizeof(void *) + sizeof(JFontEntry));
static_assert(offsetof(JFontHandle, object) == 2 * sizeof(void *) + sizeof(JFontEntry));
static_assert(offsetof(JFontHandle, oldFont) == 3 * sizeof(void *) + sizeof(JFontEntry));
