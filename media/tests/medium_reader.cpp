#include "media/tests/medium_reader.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "setup/scriptlib/profile.h"

namespace mediumtest {

std::string MediumDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  for (int up = 0; up < 3; ++up) dir = dir.substr(0, dir.find_last_of('\\'));
  return dir + "\\medium";
}

Script::Script(std::string path) : path_(std::move(path)), profile_(std::make_unique<CProfile>()) {
  opened_ = profile_->Create(path_.c_str(), nullptr, false) == 0;
}

Script::~Script() = default;

std::vector<std::string> Script::Sections() const {
  std::vector<char> buffer(1 << 16, '\0');
  profile_->GetSectionName(buffer.data(), static_cast<unsigned long>(buffer.size()), true);
  std::vector<std::string> names;
  for (const char* p = buffer.data(); *p; p += strlen(p) + 1) names.emplace_back(p);
  return names;
}

bool Script::Has(const std::string& section) const {
  for (const std::string& s : Sections()) {
    if (Upper(s) == Upper(section)) return true;
  }
  return false;
}

std::vector<std::string> Script::Lines(const std::string& section) const {
  std::vector<char> buffer(1 << 15, '\0');
  std::vector<std::string> lines;
  if (profile_->GetAllKey(section.c_str(), buffer.data(), static_cast<unsigned long>(buffer.size()), false) != 0) {
    return lines;
  }
  for (const char* p = buffer.data(); *p; p += strlen(p) + 1) lines.emplace_back(p);
  return lines;
}

std::vector<std::pair<std::string, std::string>> Script::Keys(const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> keys;
  for (const std::string& line : Lines(section)) {
    size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    keys.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
  }
  return keys;
}

std::string Script::Value(const std::string& section, const std::string& key) const {
  std::vector<char> buffer(4096, '\0');
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(), static_cast<DWORD>(buffer.size()),
                           path_.c_str());
  return buffer.data();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string Trim(const std::string& text) {
  size_t b = text.find_first_not_of(" \t"), e = text.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream s(text);
  std::string part;
  while (std::getline(s, part, separator)) parts.push_back(Trim(part));
  return parts;
}

std::vector<std::string> Tokens(const std::string& text, char mark) {
  std::vector<std::string> tokens;
  size_t open = text.find(mark);
  while (open != std::string::npos) {
    size_t close = text.find(mark, open + 1);
    if (close == std::string::npos) break;
    tokens.push_back(text.substr(open + 1, close - open - 1));
    open = text.find(mark, close + 1);
  }
  return tokens;
}

std::string ReplaceMessages(const std::string& text, const Script& strings) {
  std::string out = text;
  for (const std::string& key : Tokens(text, '@')) {
    std::string token = "@" + key + "@", value = strings.Value("MESSAGES", key);
    for (size_t at = out.find(token); at != std::string::npos; at = out.find(token, at + value.size())) {
      out.replace(at, token.size(), value);
    }
  }
  return out;
}

}  // namespace mediumtest
