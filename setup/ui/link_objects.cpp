#include "setup/ui/link_objects.h"

#include <cstdlib>

#include "setup/core/core_context.h"
#include "setup/core/predefined_variable.h"
#include "setup/ui/ui_rules.h"

namespace ui {
namespace {
bool Enabled(const std::string& value) { return value.empty() || std::atoi(value.c_str()) != 0; }
bool Given(COLORREF colour) { return colour != core::kNoColour; }
}  // namespace

void CMyLinkObject::Clear() { records_.clear(); }

ObjectRecord& CMyLinkObject::AddRecord(int x, int y, const std::string& section) {
  auto record = std::make_unique<ObjectRecord>();
  record->section = section;
  record->x = x;
  record->y = y;
  records_.push_back(std::move(record));
  return *records_.back();
}

void CMyLinkObject::ReadSize(ObjectRecord& record) {
  std::string value = Value(record.section, "SIZE");
  std::optional<NumberPair> size = ParsePair(value);
  if (!size) {
    log_.WriteLog(0, "[CDlgConfig] Invalid value...[%s] %s\n", record.section.c_str(), value.c_str());
    size = NumberPair{};
  }
  record.width = size->first;
  record.height = size->second;
}

void CMyLinkObject::ReadCommand(ObjectRecord& record) {
  record.command.cstrCmdType = Value(record.section, "CMD_TYPE");
  record.command.cstrCmdStr = Value(record.section, "CMD_STR");
  record.command.cstrParam = Value(record.section, "CMD_PARAM");
  record.command.cstrAddReg = Value(record.section, "ADD_REG");
}

bool CMyLinkObject::ReadFont(const ObjectRecord& record, LOGFONTA* font) const {
  if (record.font.empty()) return false;
  FontOfSection(files_, font, record.font);
  return true;
}

std::string CMyLinkObject::ShownText(const std::string& text) const {
  if (!IsVersionToken(text)) return text;
  CPredefinedVariable* env = core::CurrentEnvironment();
  return env ? env->GetVersion() : std::string();
}

// ----------------------------------------------------------------- links

bool CLinkObjects::Add(int x, int y, const std::string& section) {
  ObjectRecord& r = AddRecord(x, y, section);
  r.name = Message(section, "NAME");
  r.enabled = Enabled(Value(section, "ENABLE"));
  ReadSize(r);
  r.onColor = Colour(section, "ON_COLOR");
  r.offColor = Colour(section, "OFF_COLOR");
  r.disableColor = Colour(section, "DISABLE_COLOR");
  r.transColor = Colour(section, "TRANS_COLOR");
  r.useBitmapIcon = std::atoi(Value(section, "USE_BITMAP_ICON").c_str()) != 0;
  r.onBitmap = Value(section, "ON_BITMAP");
  r.offBitmap = Value(section, "OFF_BITMAP");
  r.clickedBitmap = Value(section, "CLICKED_BITMAP");
  r.font = Value(section, "FONT");
  r.tooltip = Message(section, "TOOLTIP");
  r.script = Message(section, "SCRIPT");
  ReadCommand(r);
  r.unsupportedOs = Value(section, "UNSUPPORTED_OS");
  return true;
}

bool CLinkObjects::Create() {
  controls_.resize(records_.size());
  CPredefinedVariable* env = core::CurrentEnvironment();
  for (size_t i = 0; i < records_.size(); ++i) {
    ObjectRecord& r = *records_[i];
    if (controls_[i] && controls_[i]->Handle()) continue;
    auto link = std::make_unique<CMyLink>();
    link->SetLog(&log_);
    if (!link->Create(owner_, &r)) continue;
    link->SetText(ShownText(r.name));
    LOGFONTA font;
    if (ReadFont(r, &font)) link->SetFont(font);
    link->SetColours(Given(r.offColor) ? r.offColor : link->RestColour(),
                     Given(r.onColor) ? r.onColor : link->HoverColour(),
                     Given(r.disableColor) ? r.disableColor : link->DisabledColour());
    if (!r.tooltip.empty()) link->SetTooltip(r.tooltip);
    link->SetDescription(r.script);
    EnableWindow(link->Handle(), r.enabled);
    if (r.useBitmapIcon) {
      link->UseBitmaps(true);
      COLORREF transparent = Given(r.transColor) ? r.transColor : kDefaultTransparent;
      // ON_BITMAP is the bitmap shown at rest, OFF_BITMAP the one under the mouse.
      if (!r.onBitmap.empty() && !r.offBitmap.empty()) {
        link->SetBitmaps(r.onBitmap, r.offBitmap, r.clickedBitmap.empty() ? r.onBitmap : r.clickedBitmap,
                         transparent);
      } else {
        link->SetBitmaps(kDefaultOffBitmap, kDefaultOnBitmap, kDefaultClickedBitmap, transparent);
      }
    }
    if (!(r.width && r.height)) link->AutoSize();
    ShowWindow(link->Handle(), SW_SHOWNA);
    if (!r.unsupportedOs.empty() && env && !env->GetOsString().empty() &&
        r.unsupportedOs.find(env->GetOsString()) != std::string::npos) {
      link->SetUnsupported(true);
    }
    r.control = link->Handle();
    r.controlId = GetDlgCtrlID(r.control);
    controls_[i] = std::move(link);
  }
  return true;
}

void CLinkObjects::Clear() {
  controls_.clear();
  CMyLinkObject::Clear();
}

// ----------------------------------------------------------------- statics

bool CStaticObjects::Add(int x, int y, const std::string& section) {
  ObjectRecord& r = AddRecord(x, y, section);
  r.name = Message(section, "NAME");
  r.enabled = Enabled(Value(section, "ENABLE"));
  ReadSize(r);
  r.offColor = Colour(section, "OFF_COLOR");
  r.font = Value(section, "FONT");
  return true;
}

bool CStaticObjects::Create() {
  controls_.resize(records_.size());
  for (size_t i = 0; i < records_.size(); ++i) {
    ObjectRecord& r = *records_[i];
    if (controls_[i] && controls_[i]->Handle()) continue;
    auto label = std::make_unique<CMyStatic>();
    if (!label->Create(owner_, &r)) continue;
    label->SetText(ShownText(r.name));
    LOGFONTA font;
    if (ReadFont(r, &font)) label->SetFont(font);
    if (Given(r.offColor)) label->SetColours(r.offColor, label->HoverColour(), label->DisabledColour());
    EnableWindow(label->Handle(), r.enabled);
    if (!(r.width && r.height)) label->AutoSize();
    ShowWindow(label->Handle(), SW_SHOWNA);
    r.control = label->Handle();
    r.controlId = GetDlgCtrlID(r.control);
    controls_[i] = std::move(label);
  }
  return true;
}

void CStaticObjects::Clear() {
  controls_.clear();
  CMyLinkObject::Clear();
}

// ----------------------------------------------------------------- buttons

bool CButtonObjects::Add(int x, int y, const std::string& section) {
  ObjectRecord& r = AddRecord(x, y, section);
  r.name = Message(section, "NAME");
  r.enabled = Enabled(Value(section, "ENABLE"));
  ReadSize(r);
  r.font = Value(section, "FONT");
  r.tooltip = Message(section, "TOOLTIP");
  ReadCommand(r);
  return true;
}

bool CButtonObjects::Create() {
  controls_.resize(records_.size());
  for (size_t i = 0; i < records_.size(); ++i) {
    ObjectRecord& r = *records_[i];
    if (controls_[i] && controls_[i]->Handle()) continue;
    auto button = std::make_unique<CMyButton>();
    if (!button->Create(owner_, &r)) continue;
    button->SetText(r.name);
    LOGFONTA font;
    if (ReadFont(r, &font)) button->SetFont(font);
    if (!r.tooltip.empty()) button->SetTooltip(r.tooltip);
    EnableWindow(button->Handle(), r.enabled);
    if (!(r.width && r.height)) button->AutoSize();
    ShowWindow(button->Handle(), SW_SHOWNA);
    r.control = button->Handle();
    r.controlId = GetDlgCtrlID(r.control);
    controls_[i] = std::move(button);
  }
  return true;
}

void CButtonObjects::Clear() {
  controls_.clear();
  CMyLinkObject::Clear();
}

// ----------------------------------------------------------------- bitmaps

bool CBitmapObjects::Add(int x, int y, const std::string& section) {
  ObjectRecord& r = AddRecord(x, y, section);
  r.name = Value(section, "NAME");
  ReadSize(r);
  r.transColor = Colour(section, "TRANS_COLOR");
  r.transparent = Given(r.transColor);
  return true;
}

bool CBitmapObjects::Create() {
  controls_.resize(records_.size());
  for (size_t i = 0; i < records_.size(); ++i) {
    ObjectRecord& r = *records_[i];
    if (controls_[i] && controls_[i]->Handle()) continue;
    auto bitmap = std::make_unique<CMyBitmap>();
    if (!bitmap->Create(owner_, &r, &log_)) continue;
    r.control = bitmap->Handle();
    r.controlId = GetDlgCtrlID(r.control);
    controls_[i] = std::move(bitmap);
  }
  return true;
}

void CBitmapObjects::Clear() {
  controls_.clear();
  CMyLinkObject::Clear();
}

}  // namespace ui
