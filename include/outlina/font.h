/* Font registry, Japanese character codes and glyph outlines. */
#ifndef OUTLINA_FONT_H
#define OUTLINA_FONT_H

#include <stdint.h>

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

/* Glyphs come in a y-up cell this many units high. */
#define JFONT_EM 10000

/* Font kinds. */
enum JFontKind {
  JFK_EMPTY = 0,       /* free or deleted slot */
  JFK_KUTEN_FILE = 11, /* ku-ten outline font file */
  JFK_INDX_FILE = 12,  /* INDX outline font file */
  JFK_TTF = 21         /* installed font */
};

/* Character-set classes, as bits of JFontEntry.charset. */
enum JFontCharset {
  JFCS_ANSI = 1,
  JFCS_SYMBOL = 2,
  JFCS_SHIFTJIS = 4,
  JFCS_GB2312 = 16,
  JFCS_BIG5 = 32,
  JFCS_HANGUL = 64,
  JFCS_OTHER = 0x10000000
};

/* One registered font: exactly 336 bytes, passed by value. */
typedef struct JFontEntry {
  int32_t kind;     /* JFontKind */
  char name[64];    /* face name, NUL-terminated; the key of every lookup */
  char path[260];   /* file path for kinds 11 and 12; "Regular" for kind 21 */
  uint32_t charset; /* JFontCharset class; in a jFontRegistTTF template, the accepted mask */
  uint32_t user;    /* the caller's word, copied by jFontRegistTTF, never read */
} JFontEntry;

/* The registry. Entry IDs are positions 0 to count-1. */
typedef struct JFont {
  JFontEntry *entries;
  int32_t capacity;
  int32_t count;
} JFont;

/* An opened font. It works from its own copy of the entry. */
typedef struct JFontHandle {
  JFont *font;      /* the registry it was opened from */
  JFontEntry entry; /* copy of the entry at opening */
  void *dc;         /* kind 21: the opened face; null otherwise */
  void *object;     /* kind 21: what the face needs released; kinds 11, 12: the open file */
  void *oldFont;    /* always null on this platform */
} JFontHandle;

/* The identification record of a glyph: exactly 14 bytes, no terminator. */
typedef struct JFontGlyphInfo {
  uint8_t ku;
  uint8_t ten;
  uint8_t direction;
  uint8_t flag;
  char date[10]; /* "0000/00/00" unless the font file stores its own */
} JFontGlyphInfo;

/* Origin, advance and centring margin of a glyph, in glyph units: 8 bytes. */
typedef struct JFontGlyphMetrics {
  int16_t originX;
  int16_t originY;
  int16_t advance;
  int16_t margin;
} JFontGlyphMetrics;

/* Registry. */

/* A new, empty registry of 100 zeroed slots; null when an allocation fails. */
OUTLINA_API JFont *jFontInit(void);
/* Releases the registry and its table. 1; 0 for null. */
OUTLINA_API int32_t jFontEnd(JFont *font);
/* Zeroes every slot and empties the registry. 1; 0 for null or no table. */
OUTLINA_API int32_t jFontClear(JFont *font);
/* Appends a copy of entry, growing by 100 slots when full.
   1; 0 for null, no table or a failed growth (registry unchanged). */
OUTLINA_API int32_t jFontRegist(JFont *font, JFontEntry entry);
/* Appends one kind-21 entry per installed family whose class is in templ.charset. Always 1. */
OUTLINA_API int32_t jFontRegistTTF(JFont *font, JFontEntry templ);
/* Removes the entries of kind 0 and closes the gaps. 1; 0 for null, no table or a bad ID. */
OUTLINA_API int32_t jFontDelete(JFont *font, int32_t id);
/* ID of the first entry named exactly name; -1 when none, or for null or no table. */
OUTLINA_API int32_t jFontGetFontID(const JFont *font, const char *name);
/* Copies entry id to *entry. 1; 0 for null, no table or a bad ID. */
OUTLINA_API int32_t jFontGetFontInfo(const JFont *font, int32_t id, JFontEntry *entry);
/* Copies the name of entry id (at most 64 bytes). 1; 0 for null, no table or a bad ID. */
OUTLINA_API int32_t jFontGetFontName(const JFont *font, int32_t id, char *name);
/* The number of entries; 0 for null or no table. */
OUTLINA_API int32_t jFontGetFontNum(const JFont *font);
/* Opens the font named name (vertical nonzero: vertical writing); null for null, no table,
   an unknown name or a failed allocation. */
OUTLINA_API JFontHandle *jFontOpen(JFont *font, const char *name, int32_t vertical);
/* Releases what the handle holds and the handle. 1; 0 for null. */
OUTLINA_API int32_t jFontClose(JFontHandle *handle);
/* The handle's dc; null for null. */
OUTLINA_API void *jFontGetDC(JFontHandle *handle);

/* Japanese character codes (code page 932). */

/* Row and cell of a Shift-JIS code (ku 0, ten = code for single bytes; -32, -32 for a
   rejected pair). Null outputs are skipped. Always 1. */
OUTLINA_API int32_t jFontSJISToKuTen(uint32_t code, int32_t *ku, int32_t *ten);
/* Shift-JIS code of a row and cell (ku 0: ten itself). A null output is skipped. Always 1. */
OUTLINA_API int32_t jFontKuTenToSJIS(uint16_t *code, int32_t ku, int32_t ten);

/* Glyph outlines. */

/* Appends the outline of Shift-JIS code (direction 0 horizontal, 1 vertical) to path and fills
   info and metrics. The number of points appended, 0 for a blank glyph or a font kind without
   glyphs; -1 for a null argument or when the glyph cannot be read. */
OUTLINA_API int32_t jFontGlyphVect(JFontHandle *handle, uint32_t code, int32_t direction,
                                   JFontGlyphInfo *info, JFontGlyphMetrics *metrics,
                                   JVect *path);

OUTLINA_END_DECLS

#endif
