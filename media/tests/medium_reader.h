#pragma once
// Reads the assembled sample medium the way the installer does: whole sections
// through the script reader, single values through the system's profile reader.
#include <memory>
#include <string>
#include <vector>

class CProfile;

namespace mediumtest {

// <build>\medium, found from the test program's own place (<build>\media\tests).
std::string MediumDir();

class Script {
 public:
  explicit Script(std::string path);
  ~Script();
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  const std::string& Path() const { return path_; }
  bool Opened() const { return opened_; }
  std::vector<std::string> Sections() const;
  bool Has(const std::string& section) const;
  // Every entry of the section as the reader gives it (comments gone).
  std::vector<std::string> Lines(const std::string& section) const;
  // Key lines of the section split at the first "=".
  std::vector<std::pair<std::string, std::string>> Keys(const std::string& section) const;
  // One value as GetPrivateProfileStringA reads it.
  std::string Value(const std::string& section, const std::string& key) const;

 private:
  std::string path_;
  std::unique_ptr<CProfile> profile_;
  bool opened_ = false;
};

std::string ReadFile(const std::string& path);
std::string Upper(std::string text);
std::string Trim(const std::string& text);
std::vector<std::string> Split(const std::string& text, char separator);
// Every name between a pair of `mark` characters ("@KEY@", "$VAR$").
std::vector<std::string> Tokens(const std::string& text, char mark);
// The text with every "@KEY@" replaced by the key's text in the MESSAGES section of `strings`.
std::string ReplaceMessages(const std::string& text, const Script& strings);

}  // namespace mediumtest
