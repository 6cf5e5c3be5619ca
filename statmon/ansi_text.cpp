#include "statmon/ansi_text.h"

#include <windows.h>

namespace sm {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 texts are the system's wide texts");

std::string WideToAnsi(const std::u16string& wide) {
  if (wide.empty()) return std::string();
  const auto* data = reinterpret_cast<const wchar_t*>(wide.data());
  int size = static_cast<int>(wide.size());
  int n = WideCharToMultiByte(CP_ACP, 0, data, size, nullptr, 0, nullptr, nullptr);
  std::string text(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, data, size, text.data(), n, nullptr, nullptr);
  return text;
}

std::u16string AnsiToWide(const std::string& text) {
  if (text.empty()) return std::u16string();
  int size = static_cast<int>(text.size());
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::u16string wide(n > 0 ? n : 0, u'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), size, reinterpret_cast<wchar_t*>(wide.data()), n);
  return wide;
}

}  // namespace sm
