// Installed fonts: the families that fontconfig offers, and the FreeType face behind a kind-21
// font handle.
#ifndef OUTLINA_FONT_INSTALLED_FACE_H
#define OUTLINA_FONT_INSTALLED_FACE_H

#include <cstdint>

#include "outlina/font.h"

namespace outlina {

// A family name beginning with this character names the family's vertical-writing variant.
constexpr char kVerticalPrefix = '@';

// The character-set classes an installed family can be found to have.
enum class FontSystemSet { Ansi, Symbol, ShiftJis, Gb2312, Big5, Hangul, Other };

// One family as enumeration reports it.
struct InstalledFamily {
  const char *name;
  FontSystemSet set;
};

// Whether the mask of a jFontRegistTTF template accepts a family of that set.
bool fontSetAccepted(FontSystemSet set, uint32_t mask);
// The charset word stored in the entry of a family of that set.
uint32_t fontSetCode(FontSystemSet set);
// Registers the accepted families of the list in order, as jFontRegistTTF does with the
// installed ones.
void fontRegistFamilies(JFont *font, const JFontEntry &templ, const InstalledFamily *families,
                        int32_t count);

// Opens the installed family into handle: dc becomes the FreeType face and object what the
// face needs released; a name beginning with kVerticalPrefix opens the same face in vertical
// mode. Both stay null when the family is not installed or cannot be opened.
void fontOpenInstalled(JFontHandle *handle, const char *family);
// Releases what fontOpenInstalled put into handle.
void fontCloseInstalled(JFontHandle *handle);
// Whether the handle's face was opened in vertical mode.
bool fontInstalledVertical(const JFontHandle *handle);

}  // namespace outlina

#endif
