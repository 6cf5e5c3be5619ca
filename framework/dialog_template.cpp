#include "framework/dialog.h"

namespace fw {
namespace {

// Appends an ANSI text of the system code page as a terminated UTF-16 string.
void AppendWide(std::vector<WORD>& data, const char* text) {
  if (!text || !*text) {
    data.push_back(0);
    return;
  }
  int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (count <= 0) {
    data.push_back(0);
    return;
  }
  size_t at = data.size();
  data.resize(at + static_cast<size_t>(count));
  MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<wchar_t*>(&data[at]), count);
}

// Items start on a DWORD boundary; the buffer itself is allocated aligned.
void AlignToDword(std::vector<WORD>& data) {
  if (data.size() % 2) data.push_back(0);
}

void AppendDword(std::vector<WORD>& data, DWORD value) {
  data.push_back(LOWORD(value));
  data.push_back(HIWORD(value));
}

void AppendRect(std::vector<WORD>& data, int x, int y, int cx, int cy) {
  for (int v : {x, y, cx, cy}) data.push_back(static_cast<WORD>(static_cast<short>(v)));
}

}  // namespace

DialogTemplate::DialogTemplate(const char* title, DWORD style, int x, int y, int cx, int cy, DWORD exStyle,
                               const char* font, WORD pointSize) {
  bool withFont = font && *font;
  style = withFont ? (style | DS_SETFONT) : (style & ~static_cast<DWORD>(DS_SETFONT));
  AppendDword(data_, style);
  AppendDword(data_, exStyle);
  countAt_ = data_.size();
  data_.push_back(0);  // number of items, counted by Add
  AppendRect(data_, x, y, cx, cy);
  data_.push_back(0);  // no menu
  data_.push_back(0);  // the predefined dialog class
  AppendWide(data_, title);
  if (withFont) {
    data_.push_back(pointSize);
    AppendWide(data_, font);
  }
}

DialogTemplate& DialogTemplate::Add(WORD classAtom, const char* text, WORD id, DWORD style, int x, int y, int cx,
                                    int cy, DWORD exStyle) {
  AlignToDword(data_);
  AppendDword(data_, style);
  AppendDword(data_, exStyle);
  AppendRect(data_, x, y, cx, cy);
  data_.push_back(id);
  data_.push_back(0xFFFF);
  data_.push_back(classAtom);
  AppendWide(data_, text);
  data_.push_back(0);  // no creation data
  ++data_[countAt_];
  return *this;
}

DialogTemplate& DialogTemplate::Add(const char* className, const char* text, WORD id, DWORD style, int x, int y,
                                    int cx, int cy, DWORD exStyle) {
  AlignToDword(data_);
  AppendDword(data_, style);
  AppendDword(data_, exStyle);
  AppendRect(data_, x, y, cx, cy);
  data_.push_back(id);
  AppendWide(data_, className);
  AppendWide(data_, text);
  data_.push_back(0);  // no creation data
  ++data_[countAt_];
  return *this;
}

const DLGTEMPLATE* DialogTemplate::Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

}  // namespace fw
