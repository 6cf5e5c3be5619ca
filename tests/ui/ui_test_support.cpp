#include "tests/ui/ui_test_support.h"

#include <intrin.h>

#include "setup/core/core_context.h"
#include "setup/engine/wizard_page.h"
#include "setup/ui/skin_bitmap.h"

namespace uitest {
namespace {
std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.find_last_of('\\'));
}
}  // namespace

PageMedium::PageMedium(const MediumFiles& f) : language_(f.language) {
  std::string data = "[STRINGS]\r\n%CAPTION_TOKEN%=Token caption\r\n"
                     "[PROGRAM_INFO]\r\nMFG=" + id_.Mfg() + "\r\nMDL=Laser 9000\r\nPROGRAM_NAME=" + id_.Program() +
                     "\r\nCONFIGURE_FILE=.\\config.ini\r\nSTRING_FILE_FORMAT=.\\str%s.ini\r\nRESOURCE_DLL=res.dll\r\n"
                     "SUPPORTED_LANG=LANGS\r\nDESTINATION_DIR=$SRC_DIR$\\dest\r\n" + f.programInfo +
                     "[LANGS]\r\n0X0409 English\r\n0X040D Hebrew\r\n0X0407 German\r\n"
                     "[LANGUAGE_ABBR]\r\n0X0409=EN\r\n0X040D=HB\r\n0X0407=GR\r\n"
                     "[LANGUAGE_LCID_ALIGN_RIGHT]\r\n0X040D\r\n"
                     "[OS_DEFINE]\r\n0X00020500=W2K\r\n[OS_DIR]\r\nW2K=win2000\r\n" + f.data;
  dir_.Write("medium\\setup.dat", data);
  dir_.Write("medium\\config.ini", "[DLG_COMMON]\r\n" + f.common + "\r\n[LANGS]\r\n0X0409=English\r\n0X040D=Hebrew\r\n"
                                   "0X0407=German\r\n" + f.config);
  dir_.Write("medium\\strEN.ini", "[MESSAGES]\r\nSTRING_0409=English\r\nSTRING_040D=Hebrew\r\nSTRING_0407=German\r\n" +
                                      f.messagesEn);
  dir_.Write("medium\\strHB.ini", "[MESSAGES]\r\nSTRING_0409=Anglit\r\nSTRING_040D=Ivrit\r\nSTRING_0407=Germanit\r\n" +
                                      f.messagesHb);
  dir_.Write("medium\\strGR.ini", "[MESSAGES]\r\nSTRING_0409=Englisch\r\nSTRING_040D=Hebraeisch\r\nSTRING_0407=Deutsch\r\n" +
                                      f.messagesGr);
  dir_.Write("medium\\autorun.inf", "[INFOMATION]\r\nVERSION=4.2.1\r\n");
  std::string libraryPath = SrcDir() + "\\res.dll";
  if (f.library == Library::kSkins) CopyFileA((ExeDir() + "\\setupres.dll").c_str(), libraryPath.c_str(), FALSE);
  if (f.library == Library::kNotADll) dir_.Write("medium\\res.dll", "not a library at all");
  log_.CreateLogFile((dir_.Path() + "\\").c_str(), "setup.exe");
  ok_ = env_.InitEnvironment((SrcDir() + "\\setup.exe").c_str());
  previousEnv_ = core::SetCurrentEnvironment(&env_);
  // As the application does: load the resource library (a bad one is none).
  library_.Reset(LoadLibraryA(libraryPath.c_str()));
  previousLibrary_ = core::SetResourceLibrary(library_.Get());
}

PageMedium::~PageMedium() {
  core::SetResourceLibrary(previousLibrary_);
  core::SetCurrentEnvironment(previousEnv_);
}

std::string PageMedium::Log() {
  FlushFileBuffers(log_.GetLogHandle());
  return coretest::ReadAll(log_.GetLogPath());
}

int PageMedium::CountInLog(const std::string& text) {
  std::string log = Log();
  int count = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size())) ++count;
  return count;
}

CommandSink::CommandSink() { CreateFrame("QxUiTestControl", "control", false); }

bool CommandSink::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
  if (message == engine::kCommandMessage) {
    if (lParam) commands.push_back(*reinterpret_cast<const CommandRecord*>(lParam));
    received.push_back(reinterpret_cast<const CommandRecord*>(lParam));
    *result = 0;
    return true;
  }
  if (message == engine::kPageClosedMessage) {
    ++closes;
    *result = 0;
    return true;
  }
  return false;
}

namespace {
void PrintInto(HDC dc, HWND window, int x, int y) {
  POINT old{};
  SetViewportOrgEx(dc, x, y, &old);
  SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}
}  // namespace

Picture::Picture(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  width_ = client.right;
  height_ = client.bottom;
  if (width_ <= 0 || height_ <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  fw::WindowDC screen(nullptr);
  fw::UniqueGdiObject dib(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  fw::MemoryDC dc(screen.Get());
  if (!dib || !dc.Get()) return;
  {
    fw::SelectedObject keep(dc.Get(), dib.Get());
    PrintInto(dc.Get(), window, 0, 0);
    // Children bottom of the z-order first, so the top one is drawn last.
    for (HWND child = GetWindow(GetWindow(window, GW_CHILD), GW_HWNDLAST); child; child = GetWindow(child, GW_HWNDPREV)) {
      if (!IsWindowVisible(child)) continue;
      RECT r = ChildRect(child);
      PrintInto(dc.Get(), child, r.left, r.top);
    }
    GdiFlush();
  }
  const DWORD* p = static_cast<const DWORD*>(bits);
  pixels_.assign(p, p + static_cast<size_t>(width_) * height_);
}

COLORREF Picture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  DWORD v = pixels_[static_cast<size_t>(y) * width_ + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int Picture::Count(const RECT& area, COLORREF colour) const {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour;
  }
  return n;
}

bool Picture::SaveBmp(const std::string& path) const {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width_;
  header.biHeight = -height_;
  header.biPlanes = 1;
  header.biBitCount = 32;
  DWORD bytes = static_cast<DWORD>(pixels_.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + bytes;
  fw::UniqueFile out(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!out) return false;
  DWORD written = 0;
  WriteFile(out.Get(), &file, sizeof(file), &written, nullptr);
  WriteFile(out.Get(), &header, sizeof(header), &written, nullptr);
  return WriteFile(out.Get(), pixels_.data(), bytes, &written, nullptr) && written == bytes;
}

RECT ChildRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
  ULONGLONG deadline = GetTickCount64() + deadlineMs;
  while (!condition()) {
    if (GetTickCount64() >= deadline) return false;
    PumpPending();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

namespace {
// Wine's GDI handle table, which its PEB names as Windows' does: 0x10000
// entries of 24 bytes; an entry in use has a non-zero type.
#pragma pack(push, 1)
struct WineGdiEntry {
  unsigned long long object;
  unsigned long owner;
  unsigned short unique;
  unsigned char type;
  unsigned char flags;
  unsigned long long user;
};
#pragma pack(pop)
static_assert(sizeof(WineGdiEntry) == 24);

DWORD CountWineGdiEntries() {
  const BYTE* peb = reinterpret_cast<const BYTE*>(__readfsdword(0x30));
  const WineGdiEntry* table = *reinterpret_cast<const WineGdiEntry* const*>(peb + 0x94);
  if (!table) return 0;
  DWORD used = 0;
  for (size_t i = 0; i < 0x10000; ++i) used += table[i].type != 0;
  return used;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  return TRUE;
}

BOOL CALLBACK CountWindow(HWND hwnd, LPARAM count) {
  ++*reinterpret_cast<DWORD*>(count);
  EnumChildWindows(hwnd, CountChild, count);
  return TRUE;
}
}  // namespace

DWORD GdiObjects() {
  DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  return count ? count : CountWineGdiEntries();
}

DWORD UserObjects() {
  DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (count) return count;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

COLORREF SkinPixel(const char* bitmap, int x, int y) {
  fw::UniqueGdiObject image = ui::LoadSkinBitmap(bitmap);
  if (!image) return CLR_INVALID;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, image.Get());
  COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return colour;
}

}  // namespace uitest
