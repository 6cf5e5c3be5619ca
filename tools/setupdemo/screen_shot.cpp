#include "tools/setupdemo/screen_shot.h"

#include <cstdio>
#include <vector>

namespace demo {
namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> bits;  // bottom-up rows of BGR, each padded to 4 bytes
};

bool Capture(HWND window, Picture* picture) {
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return false;
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (memory && dib) {
    HGDIOBJ old = SelectObject(memory, dib);
    ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
    if (ok) {
      size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
      const auto* begin = static_cast<const unsigned char*>(bits);
      picture->width = width;
      picture->height = height;
      picture->bits.assign(begin, begin + stride * height);
    }
  }
  if (dib) DeleteObject(dib);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool AllOneColour(const Picture& picture) {
  for (size_t i = 3; i < picture.bits.size(); ++i) {
    if (picture.bits[i] != picture.bits[i % 3]) return false;
  }
  return true;
}

bool WriteBmp(const Picture& picture, const std::string& path) {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = picture.width;
  info.biHeight = picture.height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(picture.bits.size());
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(&file, sizeof(file), 1, out) == 1 && std::fwrite(&info, sizeof(info), 1, out) == 1 &&
            std::fwrite(picture.bits.data(), 1, picture.bits.size(), out) == picture.bits.size();
  return std::fclose(out) == 0 && ok;
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::string& path) {
  Picture previous, current;
  if (!Capture(window, &previous)) return false;
  for (int i = 0; i < 40; ++i) {
    Sleep(150);  // the page paints in its own process: give it the time between two looks
    if (!Capture(window, &current)) return false;
    if (current.bits == previous.bits) break;
    previous = std::move(current);
    current = Picture();
  }
  // A display driver without a screen answers with one flat colour; a page
  // that went away meanwhile left the screen to another one.
  if (AllOneColour(previous) || !IsWindowVisible(window)) return false;
  return WriteBmp(previous, path);
}

}  // namespace demo
