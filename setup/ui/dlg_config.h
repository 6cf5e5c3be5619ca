#pragma once
// CDlgConfig: the description of one page, read from its section of the
// configuration script: caption, background bitmaps, size, the shapes (LINE,
// RECTANGLE) it draws and the objects (links, statics, buttons, bitmaps) it
// places. Loaded when the page loads a section, applied to the page window,
// consulted when painting, cleared before the next section.
#include <windows.h>

#include <string>
#include <vector>

#include "setup/core/utl.h"
#include "setup/ui/link_objects.h"
#include "setup/ui/script_values.h"

namespace ui {

struct ShapeRecord {
  short kind = 4;  // 4 LINE, 5 RECTANGLE
  int x = 0, y = 0, width = 0, height = 0;
  int lineWidth = 1;
  COLORREF colour = core::kNoColour;
};
inline constexpr short kShapeLine = 4;
inline constexpr short kShapeRectangle = 5;

// The window a description belongs to: the page object, whose window may not
// exist yet when it is loaded.
class IDescribedWindow {
 public:
  virtual ~IDescribedWindow() = default;
  virtual HWND DescribedWindow() const = 0;
};

class CDlgConfig {
 public:
  CDlgConfig();

  // False without an owner (nothing is read then).
  bool Load(IDescribedWindow* owner, const char* section);
  // Caption, controls (link, static, button, bitmap), size and centring.
  // False without an owner window.
  bool Apply();
  void DrawShapes(HDC dc) const;
  void Clear();

  // The value readers (script_values.h) over this description's files.
  std::string DialogValue(const std::string& section, const char* key) const {
    return ui::DialogValue(files_, section, key);
  }
  std::string StringValue(const std::string& section, const char* key) const {
    return ui::StringValue(files_, section, key);
  }
  std::string DataValue(const std::string& section, const char* key) const {
    return ui::DataValue(files_, section, key);
  }
  std::string Message(const std::string& key) const { return MessageText(files_, key); }
  COLORREF Colour(const std::string& section, const char* key, const char* file = nullptr) const {
    return ColourValue(files_, section, key, file);
  }
  void Font(LOGFONTA* font, const std::string& section) const { FontOfSection(files_, font, section); }

  const std::string& Section() const { return section_; }
  const std::string& Caption() const { return caption_; }
  const std::string& BackBitmap() const { return backBitmap_; }
  const std::string& BackBitmapRight() const { return backBitmapRight_; }
  // The bitmap painted: the right-to-left one when the language reads so and one is given.
  std::string PaintedBitmap() const;
  SIZE DialogSize() const { return SIZE{width_, height_}; }
  const std::string& InstallKey() const { return installKey_; }
  const ScriptFiles& Files() const { return files_; }
  const std::vector<ShapeRecord>& Shapes() const { return shapes_; }
  CLinkObjects& Links() { return links_; }
  CStaticObjects& Statics() { return statics_; }
  CButtonObjects& Buttons() { return buttons_; }
  CBitmapObjects& Bitmaps() { return bitmaps_; }
  CUtl& Log() { return log_; }

 private:
  void ReadObjects();
  void ReadShape(short kind, int x, int y, const std::string& objectSection);
  void SizeAndCentre(HWND window);

  CUtl log_;
  IDescribedWindow* owner_ = nullptr;
  ScriptFiles files_;
  std::string section_, caption_, backBitmap_, backBitmapRight_, installKey_;
  int width_ = 0, height_ = 0;
  std::vector<ShapeRecord> shapes_;
  CLinkObjects links_;
  CStaticObjects statics_;
  CButtonObjects buttons_;
  CBitmapObjects bitmaps_;
};

}  // namespace ui
