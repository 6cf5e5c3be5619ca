#include "setup/pages/printer_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pages {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void CopyText(char (&field)[260], const std::string& text) {
  std::snprintf(field, sizeof(field), "%s", text.c_str());
}

}  // namespace

void TerminateTexts(PRINTER_ENTRY& e) {
  e.name[259] = e.address[259] = e.text3[259] = e.text4[259] = e.text5[259] = e.description[259] = 0;
}

int BoundedCount(int count) { return count < 0 ? 0 : (count > kPrinterEntries ? kPrinterEntries : count); }

int MarkNetworkEntries(PRINTER_ENTRY* table, int returned, const std::string& finding1, const std::string& finding2) {
  int count = BoundedCount(returned);
  std::string one = Upper(finding1), two = Upper(finding2);
  for (int i = 0; i < count; ++i) {
    PRINTER_ENTRY& e = table[i];
    TerminateTexts(e);
    std::string description = Upper(e.description);
    CopyText(e.description, description);
    e.listed = description.find(one) != std::string::npos && description.find(two) != std::string::npos;
    e.network = 1;
    e.hasAddress = IsIpAddress(e.address);
  }
  // Whatever the library wrote past its count is not ours to show.
  for (int i = count; i < kPrinterEntries; ++i) std::memset(&table[i], 0, sizeof(PRINTER_ENTRY));
  return count;
}

int AddLocalEntries(PRINTER_ENTRY* table, int first, const std::string& mfg, const std::string& mdl,
                    const std::string& port, int count) {
  int added = 0;
  for (int i = 0; i < count && first + added < kPrinterEntries; ++i, ++added) {
    PRINTER_ENTRY& e = table[first + added];
    std::memset(&e, 0, sizeof(e));
    std::snprintf(e.name, sizeof(e.name), "%s %s (%d)", mfg.c_str(), mdl.c_str(), i);
    CopyText(e.address, port);
    e.network = 0;
    e.hasAddress = 0;
    e.listed = 1;
  }
  return added;
}

DWORD ServerInstallType(DWORD type, bool server) {
  if (server) return type == 2 ? 0x12 : (type == 4 ? 0x14 : type);
  return type == 0x12 ? 2 : (type == 0x14 ? 4 : type);
}

std::optional<std::array<int, 4>> SplitAddress(const std::string& text) {
  std::array<int, 4> parts{};
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    if (start > text.size()) return std::nullopt;
    size_t dot = text.find('.', start);
    std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (part.empty() || part.size() > 9) return std::nullopt;
    for (char c : part) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    parts[i] = std::atoi(part.c_str());
    start = dot == std::string::npos ? text.size() + 1 : dot + 1;
  }
  return parts;
}

bool IsIpAddress(const std::string& text) {
  if (std::count(text.begin(), text.end(), '.') != 3) return false;
  auto parts = SplitAddress(text);
  if (!parts) return false;
  for (int p : *parts) {
    if (p > 255) return false;
  }
  return true;
}

std::string RemoveChars(const std::string& text, const char* chars, bool* removed) {
  std::string out;
  bool any = false;
  for (char c : text) {
    if (std::strchr(chars, c) && c != 0) {
      any = true;
      continue;
    }
    out += c;
  }
  if (removed) *removed = any;
  return out;
}

}  // namespace pages

namespace pages {

std::string FormatWithText(const std::string& format, const std::string& text) {
  std::string out;
  bool filled = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && !filled) {
        out += text;
        filled = true;
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

}  // namespace pages
