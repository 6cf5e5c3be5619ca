#include "setup/ui/dlg_config.h"

#include <cstdlib>

#include "framework/handles.h"
#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/scriptlib/profile_cache.h"
#include "setup/ui/skin_bitmap.h"
#include "setup/ui/ui_rules.h"

namespace ui {

CDlgConfig::CDlgConfig() { log_.BorrowApplicationLog(); }

bool CDlgConfig::Load(IDescribedWindow* owner, const char* section) {
  log_.BorrowApplicationLog();
  if (!owner) return false;
  scriptlib::ProfileReadScope oneVersion;  // every value of the page from one reading of each script
  owner_ = owner;
  section_ = section ? section : "";
  files_ = ScriptFiles::FromEnvironment();
  CPredefinedVariable* env = core::CurrentEnvironment();
  installKey_ = env ? env->GetInstallKey() : std::string();
  HWND window = owner->DescribedWindow();
  for (CMyLinkObject* objects : {static_cast<CMyLinkObject*>(&links_), static_cast<CMyLinkObject*>(&statics_),
                                 static_cast<CMyLinkObject*>(&buttons_), static_cast<CMyLinkObject*>(&bitmaps_)}) {
    objects->SetFiles(window, files_);
  }
  caption_ = DialogValue(section_, "CAPTION");
  backBitmap_ = DialogValue(section_, "BACK_BMP");
  backBitmapRight_ = DialogValue(section_, "BACK_BMP_RIGHT");
  std::string size = DialogValue(section_, "DLG_SIZE");
  std::optional<NumberPair> pair = ParsePair(size);
  if (!pair) {
    log_.WriteLog(0, "[CDlgConfig] Invalid value...[%s] %s\n", section_.c_str(), size.c_str());
    pair = NumberPair{};
  }
  width_ = pair->first;
  height_ = pair->second;
  ReadObjects();
  return true;
}

void CDlgConfig::ReadObjects() {
  std::string countText = DialogValue(section_, "NUM_OF_OBJ");
  if (countText.empty()) return;
  bool clipped = false;
  int count = ObjectCount(countText, &clipped);
  if (clipped) {
    log_.WriteLog(0, "[CDlgConfig] NUM_OF_OBJ out of range [%s] %s, %d objects read\n", section_.c_str(),
                  countText.c_str(), count);
  }
  for (int n = 0; n < count; ++n) {
    std::string objectKey = "OBJ_" + std::to_string(n);
    std::string positionKey = "POS_" + std::to_string(n);
    std::string objectSection = DialogValue(section_, objectKey.c_str());
    if (objectSection.empty()) {
      log_.WriteLog(0, "[CDlgConfig SetObject] Get section name fail %s\n", objectKey.c_str());
      continue;
    }
    std::string positionText = DialogValue(section_, positionKey.c_str());
    std::optional<NumberPair> position = ParsePair(positionText);
    if (!position) {
      log_.WriteLog(0, "[CDlgConfig] Invalid value...[%s] %s\n", section_.c_str(), positionText.c_str());
      position = NumberPair{};
    }
    std::optional<ObjectKind> kind = ObjectKindOf(objectSection);
    if (!kind) continue;
    int x = position->first, y = position->second;
    switch (*kind) {
      case ObjectKind::kLink: links_.Add(x, y, objectSection); break;
      case ObjectKind::kStatic: statics_.Add(x, y, objectSection); break;
      case ObjectKind::kBitmap: bitmaps_.Add(x, y, objectSection); break;
      case ObjectKind::kButton: buttons_.Add(x, y, objectSection); break;
      case ObjectKind::kLine: ReadShape(kShapeLine, x, y, objectSection); break;
      case ObjectKind::kRectangle: ReadShape(kShapeRectangle, x, y, objectSection); break;
    }
  }
}

void CDlgConfig::ReadShape(short kind, int x, int y, const std::string& objectSection) {
  ShapeRecord shape;
  shape.kind = kind;
  shape.x = x;
  shape.y = y;
  std::string sizeText = DialogValue(objectSection, "SIZE");
  std::optional<NumberPair> size = ParsePair(sizeText);
  if (!size) {
    log_.WriteLog(0, "[CDlgConfig] Invalid value...[%s] %s\n", section_.c_str(), sizeText.c_str());
    size = NumberPair{};
  }
  shape.width = size->first;
  shape.height = size->second;
  std::string lineWidth = DialogValue(objectSection, "LINE_WIDTH");
  shape.lineWidth = lineWidth.empty() ? 1 : std::atoi(lineWidth.c_str());
  if (shape.lineWidth < 0 || shape.lineWidth > kMaxCoordinate) shape.lineWidth = 1;
  shape.colour = Colour(objectSection, "OFF_COLOR");
  shapes_.push_back(shape);
}

bool CDlgConfig::Apply() {
  HWND window = owner_ ? owner_->DescribedWindow() : nullptr;
  if (!window) return false;
  SetWindowTextA(window, caption_.c_str());
  for (CMyLinkObject* objects : {static_cast<CMyLinkObject*>(&links_), static_cast<CMyLinkObject*>(&statics_),
                                 static_cast<CMyLinkObject*>(&buttons_), static_cast<CMyLinkObject*>(&bitmaps_)}) {
    objects->SetOwner(window);
    objects->Create();
  }
  SizeAndCentre(window);
  return true;
}

std::string CDlgConfig::PaintedBitmap() const {
  CPredefinedVariable* env = core::CurrentEnvironment();
  if (env && env->IsRightToLeft() && !backBitmapRight_.empty()) return backBitmapRight_;
  return backBitmap_;
}

namespace {
// The platform's centring: over the owner, or the work area without one.
void CentreOnly(HWND window) {
  RECT outer{}, around{};
  GetWindowRect(window, &outer);
  HWND owner = GetWindow(window, GW_OWNER);
  if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &around) || IsRectEmpty(&around)) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
  }
  int w = outer.right - outer.left, h = outer.bottom - outer.top;
  int x = around.left + ((around.right - around.left) - w) / 2;
  int y = around.top + ((around.bottom - around.top) - h) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}
}  // namespace

void CDlgConfig::SizeAndCentre(HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  int frameW = (outer.right - outer.left) - client.right;
  int frameH = (outer.bottom - outer.top) - client.bottom;
  int w = width_, h = height_;
  if (!(w && h)) {
    std::string name = PaintedBitmap();
    HBITMAP bitmap = SharedSkinBitmap(name);
    if (!bitmap) {
      log_.WriteLog(0, "[CNormalDlg] Back bitmap not found!! (%s)\n", name.c_str());
      CentreOnly(window);
      return;
    }
    SIZE size = BitmapSize(bitmap);
    w = size.cx;
    h = size.cy;
  }
  int outerW = w + frameW, outerH = h + frameH;
  int x = (GetSystemMetrics(SM_CXSCREEN) - outerW) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - outerH) / 2;
  SetWindowPos(window, nullptr, x, y, outerW, outerH, SWP_NOZORDER | SWP_SHOWWINDOW);
}

void CDlgConfig::DrawShapes(HDC dc) const {
  for (const ShapeRecord& shape : shapes_) {
    RECT rect{shape.x, shape.y, shape.x + shape.width, shape.y + shape.height};
    if (shape.kind == kShapeRectangle) {
      fw::UniqueGdiObject pen(CreatePen(PS_SOLID, shape.lineWidth, shape.colour));
      fw::SelectedObject keep(dc, pen.Get());
      Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    } else {
      fw::UniqueGdiObject brush(CreateSolidBrush(shape.colour));
      FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
    }
  }
}

void CDlgConfig::Clear() {
  for (CMyLinkObject* objects : {static_cast<CMyLinkObject*>(&links_), static_cast<CMyLinkObject*>(&statics_),
                                 static_cast<CMyLinkObject*>(&buttons_), static_cast<CMyLinkObject*>(&bitmaps_)}) {
    objects->Clear();
  }
  shapes_.clear();
  section_.clear();
}

}  // namespace ui
