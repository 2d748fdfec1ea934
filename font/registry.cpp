// The font registry: a growing table of entries whose positions are their IDs, and the
// opening and closing of font handles.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "font/installed_face.h"
#include "font/readers.h"
#include "plinth.h"

namespace {

// The table starts with this many slots and grows by as many each time it is full.
constexpr int32_t kRegistryStep = 100;
// A deletion only marks the entries that follow an entry of this kind.
constexpr int32_t kGroupKind = 1;

bool hasTable(const JFont *font) { return font != nullptr && font->entries != nullptr; }

bool validId(const JFont *font, int32_t id) {
  return hasTable(font) && id >= 0 && id < font->count;
}

uint32_t tableBytes(int32_t slots) {
  return static_cast<uint32_t>(slots) * static_cast<uint32_t>(sizeof(JFontEntry));
}

bool isFileKind(int32_t kind) { return kind == JFK_KUTEN_FILE || kind == JFK_INDX_FILE; }

}  // namespace

extern "C" {

JFont *jFontInit(void) {
  auto *font = static_cast<JFont *>(jMemAlloc(sizeof(JFont)));
  if (font == nullptr) return nullptr;
  font->entries = static_cast<JFontEntry *>(jMemAlloc(tableBytes(kRegistryStep)));
  if (font->entries == nullptr) {
    jMemFree(font);
    return nullptr;
  }
  font->capacity = kRegistryStep;
  font->count = 0;
  return font;
}

int32_t jFontEnd(JFont *font) {
  if (font == nullptr) return 0;
  jMemFree(font->entries);
  jMemFree(font);
  return 1;
}

int32_t jFontClear(JFont *font) {
  if (!hasTable(font)) return 0;
  std::memset(font->entries, 0, tableBytes(font->capacity));
  font->count = 0;
  return 1;
}

int32_t jFontRegist(JFont *font, JFontEntry entry) {
  if (!hasTable(font)) return 0;
  if (font->count >= font->capacity) {
    // The new slots are not cleared beyond what the allocator gives.
    auto *grown = static_cast<JFontEntry *>(jMemAlloc(tableBytes(font->capacity + kRegistryStep)));
    if (grown == nullptr) return 0;
    std::memcpy(grown, font->entries, tableBytes(font->capacity));
    jMemFree(font->entries);
    font->entries = grown;
    font->capacity += kRegistryStep;
  }
  font->entries[font->count] = entry;
  ++font->count;
  return 1;
}

int32_t jFontDelete(JFont *font, int32_t id) {
  if (!validId(font, id)) return 0;
  JFontEntry *entries = font->entries;
  // The walk starts on the kind-1 entry itself, so it stops at once: only entries that
  // already carry kind 0 are removed below.
  if (entries[id].kind == kGroupKind) {
    for (int32_t i = id; i < font->count && entries[i].kind != kGroupKind; ++i)
      entries[i].kind = JFK_EMPTY;
  }
  int32_t removed = 0;
  for (int32_t i = 0; i < font->count; ++i) {
    if (entries[i].kind == JFK_EMPTY)
      ++removed;
    else if (removed > 0)
      entries[i - removed] = entries[i];
  }
  std::memset(entries + (font->count - removed), 0, tableBytes(removed));
  font->count -= removed;
  return 1;
}

int32_t jFontGetFontID(const JFont *font, const char *name) {
  if (!hasTable(font) || name == nullptr) return -1;
  for (int32_t i = 0; i < font->count; ++i)
    if (std::strcmp(font->entries[i].name, name) == 0) return i;
  return -1;
}

int32_t jFontGetFontInfo(const JFont *font, int32_t id, JFontEntry *entry) {
  if (!validId(font, id) || entry == nullptr) return 0;
  *entry = font->entries[id];
  return 1;
}

int32_t jFontGetFontName(const JFont *font, int32_t id, char *name) {
  if (!validId(font, id) || name == nullptr) return 0;
  const JFontEntry &entry = font->entries[id];
  const size_t length = strnlen(entry.name, sizeof entry.name);
  std::memcpy(name, entry.name, length < sizeof entry.name ? length + 1 : length);
  return 1;
}

int32_t jFontGetFontNum(const JFont *font) { return hasTable(font) ? font->count : 0; }

JFontHandle *jFontOpen(JFont *font, const char *name, int32_t vertical) {
  int32_t id = jFontGetFontID(font, name);
  if (id < 0) return nullptr;
  auto *handle = static_cast<JFontHandle *>(jMemAlloc(sizeof(JFontHandle)));
  if (handle == nullptr) return nullptr;
  handle->font = font;
  jFontGetFontInfo(font, id, &handle->entry);
  const int32_t kind = handle->entry.kind;
  if (isFileKind(kind)) {
    handle->object = outlina::fontFileObject(open(handle->entry.path, O_RDONLY | O_CLOEXEC));
  } else if (kind == JFK_TTF) {
    // Only Shift-JIS and other-set families have a vertical-writing "@" variant; an ANSI
    // family stays as it is.
    char family[sizeof handle->entry.name + 1] = {};
    const bool variant =
        vertical != 0 && (handle->entry.charset & (JFCS_SHIFTJIS | JFCS_OTHER)) != 0;
    family[0] = outlina::kVerticalPrefix;
    std::memcpy(family + 1, handle->entry.name, sizeof handle->entry.name - 1);
    outlina::fontOpenInstalled(handle, variant ? family : family + 1);
  }
  return handle;
}

int32_t jFontClose(JFontHandle *handle) {
  if (handle == nullptr) return 0;
  if (handle->entry.kind == JFK_TTF) {
    outlina::fontCloseInstalled(handle);
  } else if (handle->object != nullptr) {
    const int descriptor = outlina::fontFileDescriptor(handle);
    if (descriptor >= 0) close(descriptor);
  }
  jMemFree(handle);
  return 1;
}

void *jFontGetDC(JFontHandle *handle) { return handle != nullptr ? handle->dc : nullptr; }

}  // extern "C"
