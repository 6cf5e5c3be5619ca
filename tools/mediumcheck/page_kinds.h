#pragma once
// What each kind of page reads from the scripts: its fixed controls (keys
// sharing a prefix) and its other keys. One table per page kind; extend it
// when a page learns a key.
#include <string>
#include <vector>

#include "setup/engine/wizard_page.h"

namespace mediumcheck {

// Keys a fixed control may have, as bits.
enum ControlKey : unsigned {
  kRect = 1,     // prefix_RECT: x,y,width,height
  kShow = 2,     // prefix_SHOW: 0 hides
  kName = 4,     // prefix_NAME: message key of its text
  kTooltip = 8,  // prefix_TOOLTIP: message key
  kCommand = 16, // prefix_COMMAND: section with CMD_TYPE, CMD_STR, CMD_PARAM
  kFont = 32,    // prefix_FONT: font section
};

struct FixedControl {
  const char* prefix;
  unsigned keys;
  bool bold = false;   // the page makes its text bold
  bool combo = false;  // the rectangle's height includes the drop-down list
};

enum class KeyUse {
  kMessage,         // a message key of MESSAGES
  kCommandSection,  // a command section of the configuration file
  kRegistrySection, // a registry section of the data file (CT_ADDREG)
  kMediumFile,      // a file on the medium
  kPlain,           // read as it is
};

struct PageKey {
  const char* key;
  KeyUse use;
};

struct PageKindTable {
  engine::PageKind kind;
  const char* name;             // for findings
  bool readsFixedItem;          // controls come from the section FIXED_ITEM names
  std::vector<FixedControl> controls;
  std::vector<PageKey> fixedKeys;  // further keys of the fixed-item (or page) section
  std::vector<PageKey> pageKeys;   // further keys of the page's own section
};

const PageKindTable& PageTable(engine::PageKind kind);

// Keys of a page section every page reads (objects aside).
const std::vector<std::string>& DialogKeys();
// Keys of an object section by object kind, and of a font section.
enum class ObjectKind { kLink, kStatic, kBitmap, kButton, kLine, kRectangle, kNone };
// The first of LINK, STATIC, BITMAP, BUTTON, LINE, RECTANGLE that occurs in
// the name (case-sensitive).
ObjectKind ObjectKindOf(const std::string& section);
const char* ObjectKindName(ObjectKind kind);
const std::vector<std::string>& ObjectKeys(ObjectKind kind);
const std::vector<std::string>& FontKeys();
// Keys of an item section (the numbered parameter keys aside).
const std::vector<std::string>& ItemKeys();
const std::vector<std::string>& ShortcutKeys();
const std::vector<std::string>& CopyKeys();
// PROGRAM_INFO keys a run reads, and those it cannot do without.
const std::vector<std::string>& ProgramInfoKeys();
const std::vector<std::string>& RequiredProgramInfoKeys();
// The command sections each run starts and ends with.
const std::vector<std::string>& RunCommandSections();

}  // namespace mediumcheck
