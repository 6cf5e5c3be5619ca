// pagepreview.exe: renders pages of an installation medium with the real page
// classes and their real painting, one picture per page and language.
//
//   pagepreview.exe <medium folder> <output folder> [section] [language id]
//   pagepreview.exe <medium folder> --languages
//
// The second form lists the medium's languages ("0x0409 EN" a line). Without
// a section (or with "") every page section of the configuration file is shown;
// without a language, every language of the data file. Each page is shown
// as the installer shows it, captured from the screen into
// <output>\<section>_<abbreviation>.bmp, and closed again. The pictures need a
// real display: tools/pagepreview/preview.sh runs this under Xvfb.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/message_box.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/engine/command_rules.h"
#include "setup/pages/wizard_pages.h"
#include "tools/pagepreview/capture.h"
#include "tools/pagepreview/preview_plan.h"

namespace {

constexpr UINT_PTR kCaptureTimer = 0x5150;
constexpr UINT kSettleMs = 600;

std::string ReadText(const std::string& path) {
  std::string text;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return text;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) text.append(buffer, n);
  std::fclose(file);
  return text;
}

bool KeyExists(const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

struct Shot {
  engine::IWizardPage* page = nullptr;
  std::string bmpPath;
  bool captured = false;
};
Shot* g_shot = nullptr;

// The picture is taken from the screen, which Wine's x11 driver updates from
// a window's painting only while the program waits for messages: the capture
// comes a moment after the last repaint, not in the same call (taken at once,
// the control painted last was sometimes still blank).
constexpr UINT kFlushMs = 250;

void CALLBACK CaptureNow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (!g_shot || !g_shot->page) return;
  HWND window = g_shot->page->Window();
  if (window) g_shot->captured = preview::CaptureWindow(window, g_shot->bmpPath);
  g_shot->page->End(0);
}

void CALLBACK SettleAndRedraw(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (!g_shot || !g_shot->page) return;
  HWND window = g_shot->page->Window();
  if (!window) {
    g_shot->page->End(0);
    return;
  }
  // Every object at rest, whatever the pointer did while the page came up.
  SetCursorPos(0, 0);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof(name));
    if (_stricmp(name, "Static") == 0) SendMessageA(child, WM_MOUSELEAVE, 0, 0);  // links
  }
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  SetTimer(nullptr, kCaptureTimer, kFlushMs, CaptureNow);
}

engine::IWizardPage* PageFor(pages::WizardPages& wizard, const std::string& section) {
  if (_strnicmp(section.c_str(), "LICENSE.", 8) == 0) return wizard.Page(engine::PageKind::kLicense);
  std::optional<engine::PageKind> kind = engine::SelectPageKind(section);
  return kind ? wizard.Page(*kind) : nullptr;
}

// Shows one page and captures it; false when it could not be shown.
bool Render(pages::WizardPages& wizard, const std::string& section, const std::string& bmpPath) {
  engine::IWizardPage* page = PageFor(wizard, section);
  if (!page) {
    std::printf("pagepreview: no page class for [%s]\n", section.c_str());
    return false;
  }
  page->Reset();
  if (!page->Load(section.c_str())) {
    std::printf("pagepreview: [%s] does not load\n", section.c_str());
    return false;
  }
  Shot shot{page, bmpPath, false};
  g_shot = &shot;
  SetTimer(nullptr, kCaptureTimer, kSettleMs, SettleAndRedraw);
  page->RunModal(nullptr);
  g_shot = nullptr;
  page->Reset();
  std::printf("pagepreview: [%s] -> %s%s\n", section.c_str(), bmpPath.c_str(), shot.captured ? "" : " (not captured)");
  return shot.captured;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: pagepreview <medium folder> <output folder> [section] [language id]\n");
    return 2;
  }
  const std::string medium = argv[1], output = argv[2];
  if (output == "--languages") {
    for (const auto& language : preview::Languages(ReadText(medium + "\\setup.dat"))) {
      std::printf("0x%04X %s\n", language.id, language.abbreviation.c_str());
    }
    return 0;
  }
  const std::string onlySection = argc > 3 ? argv[3] : "";
  const LANGID onlyLanguage = argc > 4 ? static_cast<LANGID>(std::strtoul(argv[4], nullptr, 0)) : 0;

  // The pointer rests in a corner, away from every object (one under it
  // would be drawn in its hover state).
  SetCursorPos(0, 0);
  // No question may stop a preview.
  fw::SetMessageBoxHook([](HWND, const char*, const char*, UINT) { return IDOK; });

  // The environment writes the product's language values as a run would;
  // a preview leaves the registry as it found it.
  const std::string dataFile = medium + "\\setup.dat";
  char mfg[256] = "", program[256] = "";
  GetPrivateProfileStringA("PROGRAM_INFO", "MFG", "", mfg, sizeof(mfg), dataFile.c_str());
  GetPrivateProfileStringA("PROGRAM_INFO", "PROGRAM_NAME", "", program, sizeof(program), dataFile.c_str());
  const std::string mfgKey = std::string("Software\\") + mfg, productKey = mfgKey + "\\" + program;
  const bool hadMfg = KeyExists(mfgKey), hadProduct = KeyExists(productKey);
  auto restoreRegistry = [&] {
    if (mfg[0] && program[0] && !hadProduct) RegDeleteTreeA(HKEY_LOCAL_MACHINE, productKey.c_str());
    if (mfg[0] && !hadMfg) RegDeleteKeyA(HKEY_LOCAL_MACHINE, mfgKey.c_str());  // only when empty
  };

  CPredefinedVariable environment;
  if (!environment.InitEnvironment((medium + "\\setup.exe").c_str())) {
    std::printf("pagepreview: the scripts of %s cannot be read (see the log in the temporary folder)\n",
                medium.c_str());
    restoreRegistry();
    return 1;
  }
  core::SetCurrentEnvironment(&environment);
  HMODULE resources = nullptr;
  if (!environment.GetResourceDll().empty()) resources = LoadLibraryA(environment.GetResourceDll().c_str());
  core::SetResourceLibrary(resources);
  COLORREF back = CUtl::GetColorValue("DLG_COMMON", "DLG_BACK_COLOR", environment.GetConfigFile().c_str());
  if (back != 0x010101) fw::SetDialogColors(back, RGB(0, 0, 0));

  std::vector<std::string> sections = onlySection.empty()
                                          ? preview::PageSections(ReadText(environment.GetConfigFile()))
                                          : std::vector<std::string>{onlySection};
  std::vector<preview::Language> languages = preview::Languages(ReadText(environment.GetDataFile()));
  if (onlyLanguage) {
    std::vector<preview::Language> chosen;
    for (const auto& language : languages) {
      if (language.id == onlyLanguage) chosen.push_back(language);
    }
    if (chosen.empty()) chosen.push_back({onlyLanguage, "0x" + std::to_string(onlyLanguage)});
    languages = chosen;
  }

  int failed = 0;
  pages::WizardPages wizard;
  for (const auto& language : languages) {
    environment.SwitchLanguage(language.id);
    for (const auto& section : sections) {
      std::string bmp = output + "\\" + preview::PictureName(section, language.abbreviation);
      bmp.replace(bmp.size() - 4, 4, ".bmp");
      if (!Render(wizard, section, bmp)) ++failed;
    }
  }
  core::SetResourceLibrary(nullptr);
  core::SetCurrentEnvironment(nullptr);
  if (resources) FreeLibrary(resources);
  restoreRegistry();
  return failed ? 1 : 0;
}
