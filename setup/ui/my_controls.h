#pragma once
// The controls of a page's objects: CMyStatic (text label), CMyLink (text
// link with optional state bitmaps), CMyButton (platform push button) and
// CMyBitmap (a bitmap). Each control we draw paints through one routine that
// takes a device context (Paint), called from WM_PAINT and WM_PRINTCLIENT.
// A click becomes message 2035 with the object's command record, posted to
// the page; a link the mouse rests on sends 2036 with its description.
#include <windows.h>

#include <string>

#include "framework/handles.h"
#include "setup/core/utl.h"
#include "setup/res/resource.h"
#include "setup/ui/object_record.h"
#include "setup/ui/subclassed_control.h"

namespace ui {

// Names of the program's own link bitmaps and hand cursor.
inline constexpr const char* kDefaultOffBitmap = "IDB_OFF_BUTTON";
inline constexpr const char* kDefaultOnBitmap = "IDB_ON_BUTTON";
inline constexpr const char* kDefaultClickedBitmap = "IDB_CLICKED_BUTTON";
inline const char* const kHandCursor = MAKEINTRESOURCEA(IDC_HAND_CURSOR);
inline constexpr COLORREF kDefaultTransparent = RGB(198, 195, 198);
inline constexpr int kObjectControlId = 0xFFFF;

// The program's hand cursor, else the system's (shared, never destroyed).
HCURSOR HandCursor();
// The font the page draws with (its WM_GETFONT), or the stock GUI font.
HFONT PageFont(HWND page);

class CMyStatic : public SubclassedControl {
 public:
  // The rectangle as the record asks (10 by 10 when it is to be auto-sized).
  bool Create(HWND page, ObjectRecord* record, DWORD extraStyle = 0);
  void SetText(const std::string& text) { text_ = text; }
  const std::string& Text() const { return text_; }
  void SetFont(const LOGFONTA& font);
  bool HasOwnFont() const { return static_cast<bool>(font_); }
  // Colours: rest, under the mouse, disabled.
  void SetColours(COLORREF rest, COLORREF hover, COLORREF disabled);
  COLORREF RestColour() const { return rest_; }
  COLORREF HoverColour() const { return hover_; }
  COLORREF DisabledColour() const { return disabled_; }
  void SetRequestedPosition(int x, int y) { requestX_ = x, requestY_ = y; }
  virtual void AutoSize();
  bool IsSized() const { return sized_; }
  virtual void Paint(HDC dc);

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  HFONT DrawingFont() const;
  std::string DrawnText() const;  // the stored text, else the window text
  SIZE MeasureText() const;
  void ApplySize(SIZE size);
  // Repaints the control over the page's background behind it.
  void Repaint();

  std::string text_;
  fw::UniqueGdiObject font_;
  COLORREF rest_ = RGB(0, 0, 0);
  COLORREF hover_ = RGB(0, 0, 0);
  COLORREF disabled_ = RGB(128, 128, 128);
  HWND page_ = nullptr;
  ObjectRecord* record_ = nullptr;
  int requestX_ = -1, requestY_ = -1;
  bool sized_ = false;
};

class CMyLink : public CMyStatic {
 public:
  CMyLink();
  void SetTooltip(const std::string& text) { tooltip_.Set(hwnd_, text); }
  const ControlTooltip& Tooltip() const { return tooltip_; }
  void SetDescription(const std::string& text) { description_ = text; }
  // Bitmaps named rest, under the mouse, pressed.
  void SetBitmaps(const std::string& rest, const std::string& hover, const std::string& pressed, COLORREF transparent);
  void UseBitmaps(bool use) { useBitmaps_ = use; }
  bool UsesBitmaps() const { return useBitmaps_; }
  const std::string& RestBitmap() const { return restBitmap_; }
  const std::string& HoverBitmap() const { return hoverBitmap_; }
  const std::string& PressedBitmap() const { return pressedBitmap_; }
  COLORREF TransparentColour() const { return transparent_; }
  // The bitmap of the current state ("" without bitmaps).
  std::string StateBitmap() const;
  void SetUnsupported(bool unsupported) { unsupported_ = unsupported; }
  bool IsUnsupported() const { return unsupported_; }
  bool IsUnderMouse() const { return underMouse_; }
  bool IsPressed() const { return pressed_; }
  bool IsTracking() const { return tracking_; }
  COLORREF TextColour() const;
  void AutoSize() override;
  void Paint(HDC dc) override;
  void SetLog(CUtl* log) { log_ = log; }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  bool pressed_ = false, underMouse_ = false, tracking_ = false;
  ControlTooltip tooltip_;
  std::string description_;
  bool useBitmaps_ = false;
  COLORREF transparent_ = kDefaultTransparent;
  std::string restBitmap_ = kDefaultOffBitmap, hoverBitmap_ = kDefaultOnBitmap, pressedBitmap_ = kDefaultClickedBitmap;
  bool unsupported_ = false;
  CUtl* log_ = nullptr;
};

class CMyButton : public SubclassedControl {
 public:
  bool Create(HWND page, ObjectRecord* record);
  void SetText(const std::string& text) { text_ = text; }
  void SetFont(const LOGFONTA& font);
  bool HasOwnFont() const { return static_cast<bool>(font_); }
  void SetTooltip(const std::string& text) { tooltip_.Set(hwnd_, text); }
  const ControlTooltip& Tooltip() const { return tooltip_; }
  void SetRequestedPosition(int x, int y) { requestX_ = x, requestY_ = y; }
  void AutoSize();
  bool IsUnderMouse() const { return underMouse_; }

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::string text_;
  fw::UniqueGdiObject font_;
  bool underMouse_ = false, tracking_ = false;
  ControlTooltip tooltip_;
  HWND page_ = nullptr;
  ObjectRecord* record_ = nullptr;
  int requestX_ = -1, requestY_ = -1;
};

class CMyBitmap : public SubclassedControl {
 public:
  // Loads the bitmap and takes its size; logs when it cannot be loaded.
  bool Create(HWND page, ObjectRecord* record, CUtl* log);
  void Paint(HDC dc);

 protected:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::string name_;
  bool transparent_ = false;
  COLORREF transparentColour_ = core::kNoColour;
  CUtl* log_ = nullptr;
};

}  // namespace ui
