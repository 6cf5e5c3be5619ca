#pragma once
// Bitmaps of the skins: loaded by resource name from the resource library
// first, then from the program's own resources (names in scripts are always
// resource names, never file paths), and drawn plainly or with one colour
// left out.
#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace ui {

// Null when neither module has a bitmap of that name.
fw::UniqueGdiObject LoadSkinBitmap(const std::string& name);
// The same bitmap loaded once per resource library and name and kept until the
// process ends (the caller never deletes it): for the pages' backgrounds,
// which every page set-up and every paint of a page asks for. Not for use
// on more than one thread at a time while selected into a device context.
HBITMAP SharedSkinBitmap(const std::string& name);
SIZE BitmapSize(HBITMAP bitmap);
// Copies the bitmap's top-left w x h to (x, y).
bool DrawBitmap(HDC dest, int x, int y, int w, int h, HBITMAP bitmap);
// The same, leaving out the pixels of the transparent colour (the destination
// shows through): the masked copy, or the classic three-step mask when the
// masked copy is not available.
bool DrawTransparent(HDC dest, int x, int y, int w, int h, HBITMAP bitmap, COLORREF transparent);

}  // namespace ui
