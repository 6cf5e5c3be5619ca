#pragma once
// Pure rules of the skinned pages: the number lists of sizes, positions and
// rectangles, the object kind of a section name, the show key, the size of an
// automatically sized object. No Win32 state; tested directly.
#include <windows.h>

#include <optional>
#include <string>

namespace ui {

// Object kinds, found as words in an object's section name.
enum class ObjectKind { kLink, kStatic, kBitmap, kButton, kLine, kRectangle };

// The first of "LINK", "STATIC", "BITMAP", "BUTTON", "LINE", "RECTANGLE" that
// occurs anywhere in the name (case-sensitive); none: no object.
std::optional<ObjectKind> ObjectKindOf(const std::string& sectionName);

// Coordinates and sizes beyond this are no position a page can use.
inline constexpr int kMaxCoordinate = 32767;

struct NumberPair {
  int first = 0;
  int second = 0;
};

// "a,b" (blanks allowed around the numbers). Empty gives 0,0 and is valid.
// One number only, a field that is not a decimal number, a negative number or
// one above kMaxCoordinate: invalid (nullopt; the caller logs and uses 0,0).
std::optional<NumberPair> ParsePair(const std::string& text);

// "x,y,width,height" of the fixed-item rectangles: missing numbers count 0,
// and so does a field that is not a number or is out of range.
RECT ParseFixedRect(const std::string& text);

// The show key: shown unless the value is present and its number is 0.
bool IsShown(const std::string& showValue);

// NUM_OF_OBJ: the count to read; negative and malformed counts are 0, counts
// above kMaxObjects are cut there. *clipped tells whether the value was changed.
inline constexpr int kMaxObjects = 1000;
int ObjectCount(const std::string& text, bool* clipped);

// A text that is the version token (case-insensitive, whole text).
bool IsVersionToken(const std::string& text);

// Size of an automatically sized link or static: text only, bitmap only, or
// text + bitmap + 10 by the larger height.
SIZE AutoSize(SIZE text, bool withBitmap, SIZE bitmap);

// Lines of a button caption, split at CR LF.
int CountLines(const std::string& text);

// The hexadecimal language id before the first "=" of a "0X0409=English" line.
LANGID LanguageIdOfEntry(const std::string& entry);

}  // namespace ui
