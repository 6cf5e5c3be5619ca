#include "setup/ui/skin_bitmap.h"

#include <map>
#include <mutex>
#include <tuple>

#include "setup/core/core_context.h"

namespace ui {
namespace {

HBITMAP LoadFrom(HMODULE module, const std::string& name) {
  if (!module || !FindResourceA(module, name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP))) return nullptr;
  return static_cast<HBITMAP>(LoadImageA(module, name.c_str(), IMAGE_BITMAP, 0, 0, 0));
}

// The monochrome mask: set where the bitmap has the transparent colour.
fw::UniqueGdiObject MakeMask(HDC source, int w, int h, COLORREF transparent) {
  fw::UniqueGdiObject mask(CreateBitmap(w, h, 1, 1, nullptr));
  fw::MemoryDC maskDc(source);
  if (!mask || !maskDc.Get()) return fw::UniqueGdiObject();
  fw::SelectedObject keep(maskDc.Get(), mask.Get());
  COLORREF oldBack = SetBkColor(source, transparent);
  BitBlt(maskDc.Get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
  SetBkColor(source, oldBack);
  return mask;
}

bool ThreeStep(HDC dest, int x, int y, int w, int h, HDC source, HBITMAP mask) {
  fw::MemoryDC maskDc(dest), work(dest), image(dest);
  fw::UniqueGdiObject workBitmap(CreateCompatibleBitmap(dest, w, h));
  fw::UniqueGdiObject imageBitmap(CreateCompatibleBitmap(dest, w, h));
  if (!maskDc.Get() || !work.Get() || !image.Get() || !workBitmap || !imageBitmap) return false;
  fw::SelectedObject m(maskDc.Get(), mask), a(work.Get(), workBitmap.Get()), b(image.Get(), imageBitmap.Get());
  BitBlt(work.Get(), 0, 0, w, h, dest, x, y, SRCCOPY);            // off-screen copy of the destination
  BitBlt(work.Get(), 0, 0, w, h, maskDc.Get(), 0, 0, SRCAND);     // keep it where the mask is set
  BitBlt(image.Get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
  // Default colours map a set mask bit to white, so D AND NOT S clears there.
  BitBlt(image.Get(), 0, 0, w, h, maskDc.Get(), 0, 0, 0x00220326); // clear the transparent pixels (DSna)
  BitBlt(work.Get(), 0, 0, w, h, image.Get(), 0, 0, SRCPAINT);
  return BitBlt(dest, x, y, w, h, work.Get(), 0, 0, SRCCOPY) != FALSE;
}

}  // namespace

fw::UniqueGdiObject LoadSkinBitmap(const std::string& name) {
  if (name.empty()) return fw::UniqueGdiObject();
  if (HBITMAP bitmap = LoadFrom(core::ResourceLibrary(), name)) return fw::UniqueGdiObject(bitmap);
  return fw::UniqueGdiObject(LoadFrom(GetModuleHandleA(nullptr), name));
}

HBITMAP SharedSkinBitmap(const std::string& name) {
  if (name.empty()) return nullptr;
  static std::mutex lock;
  using Key = std::tuple<HMODULE, std::string, std::string>;
  static std::map<Key, HBITMAP>* loaded = new std::map<Key, HBITMAP>();  // never freed: the bitmaps live as long
  // The library's file too: another library may be loaded where a freed one was.
  HMODULE library = core::ResourceLibrary();
  char path[MAX_PATH] = "";
  if (library) GetModuleFileNameA(library, path, sizeof(path));
  const Key key(library, path, name);
  std::lock_guard<std::mutex> hold(lock);
  auto found = loaded->find(key);
  if (found != loaded->end()) return found->second;
  fw::UniqueGdiObject bitmap = LoadSkinBitmap(name);
  if (!bitmap) return nullptr;  // asked again next time: the caller logs it each time
  HBITMAP kept = static_cast<HBITMAP>(bitmap.Release());
  loaded->emplace(key, kept);
  return kept;
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info)) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

bool DrawBitmap(HDC dest, int x, int y, int w, int h, HBITMAP bitmap) {
  fw::MemoryDC source(dest);
  if (!source.Get() || !bitmap) return false;
  fw::SelectedObject keep(source.Get(), bitmap);
  return BitBlt(dest, x, y, w, h, source.Get(), 0, 0, SRCCOPY) != FALSE;
}

bool DrawTransparent(HDC dest, int x, int y, int w, int h, HBITMAP bitmap, COLORREF transparent) {
  fw::MemoryDC source(dest);
  if (!source.Get() || !bitmap || w <= 0 || h <= 0) return false;
  fw::SelectedObject keep(source.Get(), bitmap);
  fw::UniqueGdiObject mask = MakeMask(source.Get(), w, h, transparent);
  if (!mask) return false;
  // Mask set (transparent): keep the destination; clear: copy the source.
  constexpr DWORD kKeepWhereSet = ((SRCCOPY << 8) & 0xFF000000) | 0x00AA0029;
  if (MaskBlt(dest, x, y, w, h, source.Get(), 0, 0, static_cast<HBITMAP>(mask.Get()), 0, 0, kKeepWhereSet)) {
    return true;
  }
  return ThreeStep(dest, x, y, w, h, source.Get(), static_cast<HBITMAP>(mask.Get()));
}

}  // namespace ui
