// Pages: dialog keys, objects, fixed controls, fonts, and the layout of what a
// page shows (outside the page, overlapping, texts too wide).
#include <cstdlib>
#include <cstring>

#include "tools/mediumcheck/checker_internal.h"

namespace mediumcheck {
namespace {

int Decimal(const std::string& text) { return std::atoi(text.c_str()); }

}  // namespace

LOGFONTA Run::Font(const std::string& fontSection) {
  LOGFONTA font{};
  // Every font key falls back to DLG_COMMON; with no section the page's font is DLG_COMMON's.
  std::string section = fontSection.empty() ? "DLG_COMMON" : fontSection;
  if (!fontSection.empty()) Visit(m.config, section);
  std::string face = DialogKey(section, "LF_FACENAME").Value();
  strncpy(font.lfFaceName, face.c_str(), sizeof(font.lfFaceName) - 1);
  std::string height = DialogKey(section, "LF_HEIGHT").Value();
  if (!height.empty()) font.lfHeight = Decimal(height);
  std::string width = DialogKey(section, "LF_WIDTH").Value();
  if (!width.empty()) font.lfWidth = Decimal(width);
  if (Decimal(DialogKey(section, "LF_BOLD").Value()) != 0) font.lfWeight = FW_BOLD;
  if (Decimal(DialogKey(section, "LF_ITALIC").Value()) != 0) font.lfItalic = 1;
  if (Decimal(DialogKey(section, "LF_UNDERLINE").Value()) != 0) font.lfUnderline = 1;
  font.lfCharSet = DEFAULT_CHARSET;
  return font;
}

void Run::CheckPage(engine::PageKind kind, const std::string& section) {
  const PageKindTable& table = PageTable(kind);
  Visit(m.config, section);
  MarkKeys(m.config, section, {"CAPTION"});
  DialogKey(section, "CAPTION");
  for (const char* key : {"BACK_BMP", "BACK_BMP_RIGHT"}) {
    Place bmp = DialogKey(section, key);
    if (bmp && !bmp.Value().empty()) BitmapName(bmp, bmp.Value());
  }
  // The page's size: DLG_SIZE, else its background bitmap.
  int width = 0, height = 0;
  std::vector<int> size;
  Place dlgSize = DialogKey(section, "DLG_SIZE");
  if (Numbers(dlgSize, 2, "a size (width,height)", &size) && size[0] != 0 && size[1] != 0) {
    width = size[0];
    height = size[1];
  } else if (std::optional<SIZE> bmp = facts.Bitmap(DialogKey(section, "BACK_BMP").Value())) {
    width = bmp->cx;
    height = bmp->cy;
  }
  LOGFONTA pageFont = Font("");
  std::vector<PageBox> boxes;

  // Objects.
  Place num = DialogKey(section, "NUM_OF_OBJ");
  int count = 0;
  if (num && !num.Value().empty()) {
    std::vector<int> n;
    if (Numbers(num, 1, "a number", &n)) count = n[0];
  }
  for (int n = 0; n < count; ++n) {
    std::string suffix = std::to_string(n);
    Place obj = DialogKey(section, "OBJ_" + suffix);
    Place pos = DialogKey(section, "POS_" + suffix);
    if (!obj || obj.Value().empty()) {
      Error(num, "NUM_OF_OBJ=" + std::to_string(count) + " but [" + section + "] has no OBJ_" + suffix);
      continue;
    }
    std::string object = obj.Value();
    std::vector<int> xy;
    if (!pos || pos.Value().empty()) {
      Error(obj, "OBJ_" + suffix + " has no POS_" + suffix);
    } else {
      Numbers(pos, 2, "a position (x,y)", &xy);
    }
    ObjectKind okind = ObjectKindOf(object);
    if (okind == ObjectKind::kNone) {
      Warning(obj, "object section " + object +
                       " is skipped: its name holds none of LINK, STATIC, BITMAP, BUTTON, LINE, RECTANGLE");
      continue;
    }
    if (!HasSection(m.config, object)) {
      Error(obj, "object section [" + object + "] is missing from " + m.config.Name());
      continue;
    }
    Visit(m.config, object);
    MarkKeys(m.config, object, ObjectKeys(okind));
    std::vector<int> wh;
    Place sizeKey = DialogKey(object, "SIZE");
    Numbers(sizeKey, 2, "a size (width,height)", &wh);
    for (const char* c : {"ON_COLOR", "OFF_COLOR", "DISABLE_COLOR", "TRANS_COLOR"}) Colour(Key(m.config, object, c));

    PageBox box;
    box.what = std::string(ObjectKindName(okind)) + " " + object;
    box.place = pos ? pos : obj;
    box.window = okind != ObjectKind::kLine && okind != ObjectKind::kRectangle;
    bool placed = xy.size() == 2;
    if (placed) box.box = Box{xy[0], xy[1], 0, 0};
    if (wh.size() == 2) {
      box.box.w = wh[0];
      box.box.h = wh[1];
    }
    if (okind == ObjectKind::kBitmap) {
      Place name = DialogKey(object, "NAME");
      if (name && !name.Value().empty()) {
        BitmapName(name, name.Value());
        if (std::optional<SIZE> bmp = facts.Bitmap(name.Value())) box.box = Box{box.box.x, box.box.y, bmp->cx, bmp->cy};
      } else {
        Error(SectionPlace(m.config, object), "bitmap object [" + object + "] has no NAME");
      }
    } else if (box.window) {
      Place name = DialogKey(object, "NAME");
      if (name && !name.Value().empty()) {
        MessageKey(name, name.Value());
        box.messageKey = name.Value();
      }
      for (const char* k : {"TOOLTIP", "SCRIPT"}) {
        Place p = DialogKey(object, k);
        if (p && !p.Value().empty() && (k[0] == 'T' ? okind != ObjectKind::kStatic : okind == ObjectKind::kLink)) {
          MessageKey(p, p.Value());
        }
      }
      Place font = DialogKey(object, "FONT");
      if (font && !font.Value().empty()) {
        if (!HasSection(m.config, font.Value())) {
          Error(font, "font section [" + font.Value() + "] is missing from " + m.config.Name());
          box.font = pageFont;
        } else {
          box.font = Font(font.Value());
        }
      } else {
        box.font = pageFont;
      }
      box.measured = wh.size() == 2 && wh[0] > 0 && wh[1] > 0;
      if (okind == ObjectKind::kLink) {
        bool icons = Decimal(DialogKey(object, "USE_BITMAP_ICON").Value()) != 0;
        if (icons) {
          box.measured = false;  // bitmap and text share the width
          for (const char* k : {"ON_BITMAP", "OFF_BITMAP", "CLICKED_BITMAP"}) {
            Place p = DialogKey(object, k);
            if (p && !p.Value().empty()) BitmapName(p, p.Value());
          }
        }
        Place os = DialogKey(object, "UNSUPPORTED_OS");
        if (os && !os.Value().empty()) OsList(os, os.Value());
      }
      if (okind != ObjectKind::kStatic) {
        std::vector<std::string> chain;
        Place type = DialogKey(object, "CMD_TYPE");
        if (type && !type.Value().empty()) {
          Command(type, type.Value(), DialogKey(object, "CMD_STR").Value(), DialogKey(object, "CMD_PARAM").Value(),
                  chain);
        }
      }
      box.wrapped = okind == ObjectKind::kStatic && box.measured && box.box.h >= 2 * 16;
    }
    if (placed && box.box.w > 0 && box.box.h > 0) boxes.push_back(box);
  }

  // Fixed controls.
  std::string fixedSection = section;
  if (table.readsFixedItem) {
    Place fixed = DialogKey(section, "FIXED_ITEM");
    fixedSection = fixed.Value();
    if (fixedSection.empty()) {
      Error(SectionPlace(m.config, section),
            "the " + std::string(table.name) + " [" + section + "] has no FIXED_ITEM: its controls stay hidden");
    } else if (!HasSection(m.config, fixedSection)) {
      Error(fixed, "fixed-item section [" + fixedSection + "] is missing from " + m.config.Name());
      fixedSection.clear();
    } else {
      Visit(m.config, fixedSection);
    }
  }
  if (!fixedSection.empty()) {
    for (const FixedControl& c : table.controls) {
      std::string prefix = c.prefix;
      PageBox box;
      box.what = "control " + prefix;
      bool shown = true;
      if (c.keys & kShow) {
        Place show = DialogKey(fixedSection, prefix + "_SHOW");
        if (show && !show.Value().empty() && Decimal(show.Value()) == 0) shown = false;
      }
      if (c.keys & kName) {
        Place name = DialogKey(fixedSection, prefix + "_NAME");
        if (name && !name.Value().empty()) {
          MessageKey(name, name.Value());
          box.messageKey = name.Value();
        }
      }
      if (c.keys & kTooltip) {
        Place tip = DialogKey(fixedSection, prefix + "_TOOLTIP");
        if (tip && !tip.Value().empty()) MessageKey(tip, tip.Value());
      }
      if (c.keys & kCommand) {
        Place cmd = DialogKey(fixedSection, prefix + "_COMMAND");
        std::vector<std::string> chain;
        if (cmd && !cmd.Value().empty()) {
          RecordSection(cmd, cmd.Value(), chain, kind == engine::PageKind::kSelectItem && prefix == "BUTTON_NEXT");
        }
      }
      box.font = pageFont;
      if (c.bold) box.font.lfWeight = FW_BOLD;
      if (c.keys & kFont) {
        Place font = DialogKey(fixedSection, prefix + "_FONT");
        if (font && !font.Value().empty()) {
          if (!HasSection(m.config, font.Value())) {
            Error(font, "font section [" + font.Value() + "] is missing from " + m.config.Name());
          } else {
            box.font = Font(font.Value());
          }
        }
      }
      if (c.keys & kRect) {
        Place rect = DialogKey(fixedSection, prefix + "_RECT");
        std::vector<int> r;
        if (Numbers(rect, 4, "a rectangle (x,y,width,height)", &r) && shown) {
          box.place = rect;
          box.box = Box{r[0], r[1], r[2], c.combo ? std::min(r[3], 24) : r[3]};
          box.measured = !c.combo && r[2] > 0 && r[3] > 0;
          box.wrapped = prefix.rfind("STATIC", 0) == 0 && r[3] >= 2 * 16;
          if (r[2] > 0 && r[3] > 0) boxes.push_back(box);
        }
      }
    }
    for (const PageKey& k : table.fixedKeys) {
      Place p = DialogKey(fixedSection, k.key);
      if (!p || p.Value().empty()) continue;
      switch (k.use) {
        case KeyUse::kMessage: MessageKey(p, p.Value()); break;
        case KeyUse::kRegistrySection: RegistrySection(p, p.Value()); break;
        case KeyUse::kMediumFile: MediumFile(p, p.Value(), k.key); break;
        default: break;
      }
    }
    if (kind == engine::PageKind::kLicense) {
      Place lic = DialogKey(fixedSection, "LICENSE_FILE");
      if (!lic || lic.Value().empty()) Error(SectionPlace(m.config, section), "licence viewer [" + section + "] has no LICENSE_FILE");
    }
  }
  for (const PageKey& k : table.pageKeys) {
    Place p = DialogKey(section, k.key);
    if (!p || p.Value().empty()) continue;
    std::vector<std::string> chain;
    if (k.use == KeyUse::kCommandSection) CommandSection(p, p.Value(), chain);
  }
  if (kind == engine::PageKind::kSelectItem) {
    Place browse = Key(m.config, "FIXED_DIALOG", "BROWSE_DIRECTORY");
    Visit(m.config, "FIXED_DIALOG");
    if (browse && !browse.Value().empty()) {
      if (!HasSection(m.config, browse.Value())) {
        Error(browse, "folder browser section [" + browse.Value() + "] is missing from " + m.config.Name());
      } else {
        Visit(m.config, browse.Value());
        for (const char* k : {"DLG_TITLE", "PATH_NOT_FOUND_MSG"}) {
          Place p = DialogKey(browse.Value(), k);
          if (p && !p.Value().empty()) MessageKey(p, p.Value());
        }
      }
    }
  }
  if (kind == engine::PageKind::kSelectLanguage) {
    // The language box lists the configuration's SUPPORTED_LANG section by STRING_<id> texts.
    std::string list = m.data.Value("PROGRAM_INFO", "SUPPORTED_LANG");
    if (const Section* s = m.config.Find(list)) {
      Visit(m.config, list, true);
      for (const Entry& e : s->entries) {
        std::string id = Trim(e.isKey ? e.key : e.text.substr(0, e.text.find(' ')));
        char key[32];
        snprintf(key, sizeof key, "STRING_%04X", static_cast<unsigned>(strtoul(id.c_str(), nullptr, 16)) & 0xFFFF);
        MessageKey(Place{&m.config, e.line, &e}, key);
      }
    }
  }

  // Layout.
  for (size_t i = 0; i < boxes.size(); ++i) {
    const PageBox& a = boxes[i];
    if (width > 0 && height > 0 && !Inside(a.box, width, height)) {
      Warning(a.place, a.what + " lies outside the " + std::to_string(width) + "x" + std::to_string(height) +
                           " page [" + section + "]");
    }
    if (!a.window) continue;
    for (size_t j = i + 1; j < boxes.size(); ++j) {
      const PageBox& b = boxes[j];
      if (b.window && Overlap(a.box, b.box)) {
        Warning(b.place, b.what + " overlaps " + a.what + " on the page [" + section + "]");
      }
    }
  }
  TextWidths(boxes);
}

void Run::TextWidths(const std::vector<PageBox>& boxes) {
  for (const PageBox& b : boxes) {
    if (!b.measured || b.messageKey.empty()) continue;
    for (const Language& lang : m.languages) {
      if (!lang.strings.Loaded()) continue;
      const Entry* text = lang.strings.Key("MESSAGES", b.messageKey);
      if (!text || text->profileValue.empty()) continue;
      std::string shown = text->profileValue;
      for (size_t at = shown.find("\\r\\n"); at != std::string::npos; at = shown.find("\\r\\n", at + 2)) {
        shown.replace(at, 4, "\r\n");
      }
      bool wrapped = b.wrapped || shown.find('\n') != std::string::npos;
      SIZE extent = facts.MeasureText(b.font, shown, wrapped ? b.box.w : 0);
      if (TextFits(extent, b.box, wrapped)) continue;
      std::string face = b.font.lfFaceName[0] ? b.font.lfFaceName : "the system font";
      std::string measure = wrapped ? std::to_string(extent.cy) + " pixels high, " + b.what + " is " +
                                          std::to_string(b.box.h)
                                    : std::to_string(extent.cx) + " pixels wide, " + b.what + " is " +
                                          std::to_string(b.box.w);
      report.Warning(lang.strings.Name(), text->line,
                     "text of " + b.messageKey + " is " + measure + " (" + face + " " +
                         std::to_string(b.font.lfHeight) + (b.font.lfWeight == FW_BOLD ? " bold" : "") + ")");
    }
  }
}

}  // namespace mediumcheck
