// setup.exe's own resources, read from the built program as the pages load
// them: the named bitmaps at their sizes, the links' transparent colour around
// the bullets, the hand cursor with its hot spot, and the class icon; and the
// application manifests of setup.exe and statmon.exe, as the loader uses them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/handles.h"
#include "setup/res/resource.h"
#include "tests/support/process.h"

namespace {

constexpr COLORREF kLinkTransparent = RGB(198, 195, 198);

std::string SetupExe() { return qx::test::WinePath(QX_BUILD_DIR "/setup/setup.exe"); }
std::string StatmonExe() { return qx::test::WinePath(QX_BUILD_DIR "/statmon/statmon.exe"); }

class SetupResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = fw::UniqueModule(LoadLibraryExA(SetupExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(static_cast<bool>(module_)) << SetupExe();
  }
  fw::UniqueModule module_;
};

// The bitmap's pixels as 0x00RRGGBB, top row first.
std::vector<COLORREF> Pixels(HBITMAP bitmap, LONG width, LONG height) {
  std::vector<DWORD> bgra(static_cast<size_t>(width) * height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(nullptr);
  int rows = GetDIBits(dc, bitmap, 0, height, bgra.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  std::vector<COLORREF> out;
  if (rows != height) return out;
  for (DWORD p : bgra) out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return out;
}

TEST_F(SetupResources, NamedBitmapsHaveTheirSizesAndTransparentBackground) {
  struct Case {
    const char* name;
    LONG width, height;
    bool bullet;  // drawn by links with 198,195,198 left out
  };
  const Case cases[] = {
      {"IDB_OFF_BUTTON", 16, 16, true}, {"IDB_ON_BUTTON", 16, 16, true}, {"IDB_CLICKED_BUTTON", 16, 16, true},
      {"CHECK_BMP", 48, 16, false},     {"RADIO_BMP", 48, 16, false},
  };
  std::vector<std::vector<COLORREF>> bullets;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fw::UniqueGdiObject bitmap(LoadImageA(module_.Get(), c.name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_TRUE(static_cast<bool>(bitmap));
    BITMAP info{};
    ASSERT_NE(0, GetObjectA(bitmap.Get(), sizeof(info), &info));
    EXPECT_EQ(c.width, info.bmWidth);
    EXPECT_EQ(c.height, info.bmHeight);
    std::vector<COLORREF> px = Pixels(static_cast<HBITMAP>(bitmap.Get()), c.width, c.height);
    ASSERT_EQ(static_cast<size_t>(c.width * c.height), px.size());
    auto at = [&](int x, int y) { return px[y * c.width + x]; };
    if (c.bullet) {
      for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}}) EXPECT_EQ(kLinkTransparent, at(x, y));
      EXPECT_NE(kLinkTransparent, at(8, 8));
      EXPECT_NE(kLinkTransparent, at(3, 8));  // the disc, not only its centre
      bullets.push_back(px);
    } else {
      // Unchecked, checked and disabled are three different images, and the
      // transparent colour never appears in a strip.
      for (int image = 0; image < 3; ++image) {
        for (int next = image + 1; next < 3; ++next) {
          bool differ = false;
          for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) differ |= at(image * 16 + x, y) != at(next * 16 + x, y);
          EXPECT_TRUE(differ) << image << " vs " << next;
        }
      }
      for (COLORREF p : px) ASSERT_NE(kLinkTransparent, p);
    }
  }
  ASSERT_EQ(3u, bullets.size());
  EXPECT_NE(bullets[0], bullets[1]);  // rest and under the mouse are told apart
  EXPECT_NE(bullets[1], bullets[2]);  // and pressed
}

TEST_F(SetupResources, HandCursorAndIcon) {
  // Loaded through the instance as the controls do (the data-file mapping
  // cannot give cursors and icons their images on every system).
  fw::UniqueModule image(LoadLibraryExA(SetupExe().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES));
  ASSERT_TRUE(static_cast<bool>(image));
  HCURSOR hand = static_cast<HCURSOR>(
      LoadImageA(image.Get(), MAKEINTRESOURCEA(IDC_HAND_CURSOR), IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
  ASSERT_NE(nullptr, hand);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(5u, info.xHotspot);  // the finger tip
  EXPECT_EQ(0u, info.yHotspot);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DestroyCursor(hand);

  HICON icon = static_cast<HICON>(LoadImageA(image.Get(), MAKEINTRESOURCEA(IDI_SETUP_ICON), IMAGE_ICON, 32, 32, 0));
  EXPECT_NE(nullptr, icon);
  if (icon) DestroyIcon(icon);
}

// The manifest resource (RT_MANIFEST, id 1) of a program, as text.
std::string ManifestOf(const std::string& program) {
  fw::UniqueModule module(LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return "";
  HRSRC found = FindResourceA(module.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  if (!found) return "";
  HGLOBAL loaded = LoadResource(module.Get(), found);
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  return data ? std::string(data, SizeofResource(module.Get(), found)) : "";
}

// The file of the common controls library that is loaded under the program's
// own manifest (its activation context made from the resource, as the loader
// makes it at process start), or ""; InitCommonControlsEx must succeed there.
// The file, not DllGetVersion, tells the side-by-side 6.0 library from the
// system's 5.x: Wine's 6.0 library reports 5.81.
std::string CommonControlsUnder(const std::string& program, bool* initialised) {
  ACTCTXA context{};
  context.cbSize = sizeof(context);
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = program.c_str();
  context.lpResourceName = MAKEINTRESOURCEA(1);
  HANDLE actctx = CreateActCtxA(&context);
  if (actctx == INVALID_HANDLE_VALUE) return "";
  std::string file;
  ULONG_PTR cookie = 0;
  if (ActivateActCtx(actctx, &cookie)) {
    // Only a library loaded while the context is active is bound by it.
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    if (comctl) {
      char path[MAX_PATH] = {};
      GetModuleFileNameA(comctl, path, MAX_PATH);
      file = CharLowerA(path);
      using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
      auto init = reinterpret_cast<InitProc>(GetProcAddress(comctl, "InitCommonControlsEx"));
      INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
      *initialised = init && init(&classes);
      FreeLibrary(comctl);
    }
    DeactivateActCtx(0, cookie);
  }
  ReleaseActCtx(actctx);
  return file;
}

TEST(ApplicationManifests, CommonControlsSixExecutionLevelAndDpiChoice) {
  struct Case {
    std::string program;
    const char* level;
  };
  const Case cases[] = {{SetupExe(), "level=\"requireAdministrator\""}, {StatmonExe(), "level=\"asInvoker\""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program);
    std::string manifest = ManifestOf(c.program);
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(std::string::npos, manifest.find(c.level));
    EXPECT_NE(std::string::npos, manifest.find(">false</dpiAware>"));
    // Vista and 10, the ends of the supported range.
    EXPECT_NE(std::string::npos, manifest.find("{e2011457-1546-43c5-a5fe-008deee3d3f0}"));
    EXPECT_NE(std::string::npos, manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"));
    bool initialised = false;
    EXPECT_NE(std::string::npos, CommonControlsUnder(c.program, &initialised)
                                     .find("\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0."));
    EXPECT_TRUE(initialised);
  }
}

}  // namespace
