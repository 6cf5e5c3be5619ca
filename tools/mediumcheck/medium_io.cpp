#include "tools/mediumcheck/medium_io.h"

#include <fstream>
#include <sstream>

#include "setup/core/utl_rules.h"

namespace mediumcheck {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (name.find(":\\") != std::string::npos) return name;
  return folder + "\\" + name;
}

ScriptFile ReadScript(const std::string& folder, const std::string& name) {
  std::ifstream in(Join(folder, name), std::ios::binary);
  if (!in) return ScriptFile();
  std::stringstream text;
  text << in.rdbuf();
  return ScriptFile(name, text.str());
}

HMODULE LoadAsData(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return nullptr;
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

std::optional<SIZE> BitmapIn(HMODULE module, const std::string& name) {
  if (!module || name.empty()) return std::nullopt;
  HRSRC found = FindResourceA(module, name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP));
  if (!found) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || SizeofResource(module, found) < sizeof(BITMAPINFOHEADER)) return SIZE{0, 0};
  const BITMAPINFOHEADER* header = static_cast<const BITMAPINFOHEADER*>(bytes);
  return SIZE{header->biWidth, header->biHeight < 0 ? -header->biHeight : header->biHeight};
}

}  // namespace

bool LoadMedium(const std::string& folder, const std::string& language, Medium* medium) {
  medium->data = ReadScript(folder, "setup.dat");
  std::string config = medium->data.Value("PROGRAM_INFO", "CONFIGURE_FILE");
  if (!config.empty()) medium->config = ReadScript(folder, MediumRelative(config));
  medium->languages.clear();
  bool matched = language.empty();
  std::vector<std::string> loaded;
  for (const LanguageRef& ref : ListLanguages(medium->data)) {
    if (!language.empty()) {
      bool byName = ref.abbreviation.size() == language.size() &&
                    SameName(ref.abbreviation, language);
      bool byId = language.size() > 2 && (core::StringToNumber(language.c_str()) & 0xFFFF) == ref.id;
      if (!byName && !byId) continue;
      matched = true;
    }
    bool seen = false;
    for (const std::string& f : loaded) seen = seen || SameName(f, ref.stringFile);
    if (seen) continue;
    loaded.push_back(ref.stringFile);
    Language lang;
    lang.ref = ref;
    lang.strings = ReadScript(folder, ref.stringFile);
    medium->languages.push_back(std::move(lang));
  }
  return matched;
}

MediumFacts::MediumFacts(const std::string& folder, const Medium& medium) : folder_(folder) {
  std::string library = medium.data.Value("PROGRAM_INFO", "RESOURCE_DLL");
  if (!library.empty()) resources_ = LoadAsData(Join(folder_, MediumRelative(library)));
  program_ = LoadAsData(Join(folder_, "setup.exe"));
  dc_ = CreateCompatibleDC(nullptr);
}

MediumFacts::~MediumFacts() {
  if (dc_) DeleteDC(dc_);
  if (resources_) FreeLibrary(resources_);
  if (program_) FreeLibrary(program_);
}

bool MediumFacts::FileExists(const std::string& name) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(Join(folder_, name).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return true;
}

std::optional<SIZE> MediumFacts::Bitmap(const std::string& name) {
  if (std::optional<SIZE> size = BitmapIn(resources_, name)) return size;
  return BitmapIn(program_, name);
}

SIZE MediumFacts::MeasureText(const LOGFONTA& font, const std::string& text, int wrapWidth) {
  SIZE size{0, 0};
  if (!dc_) return size;
  HFONT made = font.lfFaceName[0] ? CreateFontIndirectA(&font) : nullptr;
  HGDIOBJ use = made ? static_cast<HGDIOBJ>(made) : GetStockObject(DEFAULT_GUI_FONT);
  HGDIOBJ old = SelectObject(dc_, use);
  if (wrapWidth > 0) {
    RECT r{0, 0, wrapWidth, 0};
    DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    size = SIZE{r.right - r.left, r.bottom - r.top};
  } else {
    GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  }
  SelectObject(dc_, old);
  if (made) DeleteObject(made);
  return size;
}

}  // namespace mediumcheck
