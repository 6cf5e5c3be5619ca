#pragma once
// The record of one object of a page (a LINK, STATIC, BUTTON or BITMAP),
// read from its section by its collection, which owns it. The control made
// for it is owned by the collection too; `control` only names its window.
#include <windows.h>

#include <string>

#include "setup/core/utl_rules.h"
#include "setup/engine/command_record.h"

namespace ui {

struct ObjectRecord {
  int controlId = -1;
  std::string section;       // the object's own section
  std::string name;          // display text (converted message) or, for BITMAP, the bitmap name
  int x = 0, y = 0;          // from POS_n of the page's section
  int width = 0, height = 0; // SIZE
  CommandRecord command;     // CMD_TYPE, CMD_STR, CMD_PARAM, ADD_REG; dwParam -1
  HWND control = nullptr;

  bool enabled = true;                      // ENABLE
  COLORREF onColor = core::kNoColour;       // ON_COLOR
  COLORREF offColor = core::kNoColour;      // OFF_COLOR
  COLORREF disableColor = core::kNoColour;  // DISABLE_COLOR
  COLORREF transColor = core::kNoColour;    // TRANS_COLOR
  bool transparent = false;                 // BITMAP: TRANS_COLOR given
  bool useBitmapIcon = false;               // USE_BITMAP_ICON
  std::string onBitmap, offBitmap, clickedBitmap;
  std::string font;     // FONT: a font section; empty: the page's font
  std::string tooltip;  // TOOLTIP, converted
  std::string script;   // SCRIPT, converted: the description text
  std::string unsupportedOs;

  bool HasCommand() const { return !command.cstrCmdType.empty() || !command.cstrCmdStr.empty(); }
};

}  // namespace ui
