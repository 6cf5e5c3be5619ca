#pragma once
// The edge of the checker: reading a medium's scripts from its folder, and the
// machine's answers about files, bitmap resources and text extents.
#include <windows.h>

#include <string>

#include "tools/mediumcheck/medium.h"

namespace mediumcheck {

// Reads setup.dat, the configuration file it names and the string file of
// every listed language (only those matching `language` when it is not
// empty: an abbreviation such as GR or an id such as 0x0407). False when
// `language` matches none.
bool LoadMedium(const std::string& folder, const std::string& language, Medium* medium);

class MediumFacts : public Facts {
 public:
  MediumFacts(const std::string& folder, const Medium& medium);
  ~MediumFacts() override;
  MediumFacts(const MediumFacts&) = delete;
  MediumFacts& operator=(const MediumFacts&) = delete;

  bool FileExists(const std::string& name) override;
  std::optional<SIZE> Bitmap(const std::string& name) override;
  SIZE MeasureText(const LOGFONTA& font, const std::string& text, int wrapWidth) override;

 private:
  std::string folder_;
  HMODULE resources_ = nullptr;
  HMODULE program_ = nullptr;
  HDC dc_ = nullptr;
};

}  // namespace mediumcheck
