#include "tools/mediumcheck/page_kinds.h"

#include <cstring>

namespace mediumcheck {
namespace {

using engine::PageKind;

const FixedControl kNext{"BUTTON_NEXT", kName | kRect | kCommand, true};

std::vector<PageKindTable> MakeTables() {
  return {
      {PageKind::kNormal, "generic page", false, {}, {}, {}},
      {PageKind::kSetPrinters, "printer settings page", true,
       {{"STATIC_PRINTERS", kName | kRect}, {"LIST_PRINTER", kRect}, {"STATIC_SETUP_PRINTER", kName | kRect},
        {"STATIC_PRINTER_NAME", kName | kRect}, {"EDIT_PRINTER_NAME", kRect},
        {"STATIC_SHARED_NAME", kName | kRect}, {"EDIT_SHARED_NAME", kRect},
        {"BUTTON_SHARE_PRINTER", kName | kRect}, {"BUTTON_SET_DEFAULT", kName | kRect},
        {"BUTTON_APPLY", kName | kRect}, {"BUTTON_NEXT", kName | kRect | kCommand}},
       {{"DEFAULT_STRING", KeyUse::kMessage}, {"SHARE_STRING", KeyUse::kMessage},
        {"MSG_PRINTER_NAME_ERROR", KeyUse::kMessage}, {"MSG_SHARE_NAME_ERROR", KeyUse::kMessage}},
       {}},
      {PageKind::kEnterClientPc, "remote client page", true,
       {{"STATIC_NETWORK_ADMIN", kName | kRect}, {"STATIC_USER_NAME", kName | kRect}, {"EDIT_USER_NAME", kRect},
        {"STATIC_PASSWORD", kName | kRect}, {"EDIT_PASSWORD", kRect}, {"BUTTON_OK", kName | kRect},
        {"STATIC_CLIENT_COMPUTER", kName | kRect}, {"EDIT_CLIENT_PC", kRect}, {"LIST_CLIENT_PC", kRect},
        {"BUTTON_BROWSE", kName | kRect}, {"BUTTON_ADD", kName | kRect}, {"BUTTON_DELETE", kName | kRect},
        {"BUTTON_NEXT", kName | kRect | kCommand}},
       {{"MSG_INVALID_COMPUTER", KeyUse::kMessage}},
       {}},
      {PageKind::kSetPort, "port setup page", true,
       {{"COMBO_PRINTERS", kRect, false, true}, {"STATIC_PORTTYPE", kName | kRect}, {"EDIT_PORTTYPE", kRect},
        {"STATIC_IP", kName | kRect}, {"EDIT_IP", kRect}, {"STATIC_PORTNAME", kName | kRect},
        {"EDIT_PORTNAME", kRect}, {"BUTTON_NEXT", kName | kRect | kCommand}},
       {{"MSG_INVALID_PORT_NAME", KeyUse::kMessage}},
       {}},
      {PageKind::kSelectDriver, "driver list page", true,
       {{"LIST_DRIVER", kRect}, {"BUTTON_NEXT", kName | kRect | kCommand}}, {}, {}},
      {PageKind::kSelectPrinter, "printer selection page", true,
       {{"LIST_PRINTER", kRect}, {"BUTTON_ADDPRINTER", kName | kRect | kCommand | kTooltip},
        {"BUTTON_UPDATE", kName | kRect | kTooltip}, {"BUTTON_NEXT", kName | kRect | kCommand | kTooltip},
        {"BUTTON_INSTALL_AS_SERVER", kName | kRect}},
       {{"SEARCH_NETWORK", KeyUse::kPlain}, {"SEARCH_LOCAL", KeyUse::kPlain},
        {"SET_PRINTER_PORT", KeyUse::kPlain}, {"COLUMN_PRINTER_NAME", KeyUse::kMessage},
        {"COLUMN_PORT_NAME", KeyUse::kMessage}},
       {}},
      {PageKind::kSelectLanguage, "language page", true,
       {{"STATIC_SELECT_LANGUAGE", kName | kShow | kRect}, {"COMBO_LANGUAGE", kShow | kRect, false, true},
        {"BUTTON_LANGUAGE", kName | kRect}},
       {}, {}},
      {PageKind::kSelectItem, "item selection page", true,
       {{"LIST_ITEMS", kRect}, {"STATIC_DESCRIPTION", kName | kRect}, {"STATIC_DESCRIPTOR", kRect},
        {"STATIC_DESTINATION", kName | kRect}, {"ICON_FOLDER", kRect}, {"STATIC_PATH_DESC", kName | kRect},
        {"STATIC_PATH", kRect}, {"BUTTON_BROWSE", kName | kRect}, kNext},
       {}, {}},
      {PageKind::kInstall, "install page", true,
       {{"STATIC_DESC", kName | kRect | kFont}, {"PROGRESS", kRect}, {"PROGRESS_ITEM", kRect}, {"BUTTON_NEXT", kCommand}},
       {}, {}},
      {PageKind::kUninst, "uninstall items page", true,
       {{"LIST_UNINSTITEM", kRect}, {"BUTTON_CHECK_ALL", kName | kRect}, kNext},
       {{"WARNING_MSG", KeyUse::kMessage}},
       {}},
      {PageKind::kFinish, "finish page", true,
       {{"BUTTON_FINISH", kName | kRect}, {"BUTTON_TESTPAGE", kName | kRect}},
       {{"ADD_UNINST_REG_KEY", KeyUse::kRegistrySection}},
       {{"FINISH_COMMAND", KeyUse::kCommandSection}}},
      // The licence viewer reads its controls from its own section.
      {PageKind::kLicense, "licence viewer", false,
       {{"EDIT_LICENSE", kRect}, {"BUTTON_OK", kName | kRect}},
       {{"LICENSE_FILE", KeyUse::kMediumFile}},
       {}},
  };
}

}  // namespace

const PageKindTable& PageTable(PageKind kind) {
  static const std::vector<PageKindTable> tables = MakeTables();
  for (const PageKindTable& t : tables) {
    if (t.kind == kind) return t;
  }
  return tables.front();
}

const std::vector<std::string>& DialogKeys() {
  static const std::vector<std::string> keys = {"CAPTION", "BACK_BMP", "BACK_BMP_RIGHT", "DLG_SIZE",
                                                "NUM_OF_OBJ", "FIXED_ITEM"};
  return keys;
}

ObjectKind ObjectKindOf(const std::string& section) {
  static const std::pair<const char*, ObjectKind> words[] = {
      {"LINK", ObjectKind::kLink},     {"STATIC", ObjectKind::kStatic}, {"BITMAP", ObjectKind::kBitmap},
      {"BUTTON", ObjectKind::kButton}, {"LINE", ObjectKind::kLine},     {"RECTANGLE", ObjectKind::kRectangle}};
  for (const auto& [word, kind] : words) {
    if (section.find(word) != std::string::npos) return kind;
  }
  return ObjectKind::kNone;
}

const char* ObjectKindName(ObjectKind kind) {
  static const char* names[] = {"LINK", "STATIC", "BITMAP", "BUTTON", "LINE", "RECTANGLE", "none"};
  return names[static_cast<int>(kind)];
}

const std::vector<std::string>& ObjectKeys(ObjectKind kind) {
  static const std::vector<std::string> link = {
      "NAME", "ENABLE", "SIZE", "ON_COLOR", "OFF_COLOR", "DISABLE_COLOR", "TRANS_COLOR", "USE_BITMAP_ICON",
      "ON_BITMAP", "OFF_BITMAP", "CLICKED_BITMAP", "FONT", "TOOLTIP", "SCRIPT", "CMD_TYPE", "CMD_STR",
      "CMD_PARAM", "ADD_REG", "UNSUPPORTED_OS"};
  static const std::vector<std::string> stat = {"NAME", "ENABLE", "SIZE", "OFF_COLOR", "FONT"};
  static const std::vector<std::string> button = {"NAME", "ENABLE", "SIZE", "FONT", "TOOLTIP",
                                                  "CMD_TYPE", "CMD_STR", "CMD_PARAM", "ADD_REG"};
  static const std::vector<std::string> bitmap = {"NAME", "SIZE", "TRANS_COLOR"};
  static const std::vector<std::string> shape = {"SIZE", "LINE_WIDTH", "OFF_COLOR"};
  static const std::vector<std::string> none;
  switch (kind) {
    case ObjectKind::kLink: return link;
    case ObjectKind::kStatic: return stat;
    case ObjectKind::kButton: return button;
    case ObjectKind::kBitmap: return bitmap;
    case ObjectKind::kLine:
    case ObjectKind::kRectangle: return shape;
    default: return none;
  }
}

const std::vector<std::string>& FontKeys() {
  static const std::vector<std::string> keys = {"LF_FACENAME", "LF_HEIGHT", "LF_WIDTH",
                                                "LF_BOLD", "LF_ITALIC", "LF_UNDERLINE"};
  return keys;
}

const std::vector<std::string>& ItemKeys() {
  static const std::vector<std::string> keys = {
      "INST_CMDSTR", "SUCCESS_RETURN", "INSTALL_DEFAULT", "DISPLAY_NAME", "DESCRIPTION", "TOOLTIP",
      "FACTORY_INSTALL", "CHK_LC_TYPICAL", "CHK_LC_CUSTOM", "CHK_NW_LC_PRINTER", "CHK_NW_LC_SERVER",
      "CHK_NW_RT_PRINTER", "CHK_NW_RT_SERVER", "WAIT_FILE", "WAIT_REGKEY", "WAIT_REGVALUE", "WAIT_REGDATA",
      "UNSUPPORTED_OS", "DRIVER_NAME", "PRINTER_NAME", "INF_FILE", "INF_9X", "INF_NT", "INF_2K",
      "SHARE_NAME", "SIGNED_OS", "DEFAULT_PRINTER", "DEFAULT_PRINTER_NET", "UNINST_VALUE_NAME",
      "UNINST_CMDSTR"};
  return keys;
}

const std::vector<std::string>& ShortcutKeys() {
  static const std::vector<std::string> keys = {"NAME", "TARGET", "ARGUMENT", "ICON_FILE", "FOLDER_NAME",
                                                "ICON_INDEX", "PERMISSION", "GROUP", "DESCRIPTION"};
  return keys;
}

const std::vector<std::string>& CopyKeys() {
  static const std::vector<std::string> keys = {"SOURCE", "DESTINATION", "COPY_SUBDIR"};
  return keys;
}

const std::vector<std::string>& ProgramInfoKeys() {
  static const std::vector<std::string> keys = {
      "MFG", "MDL", "VIDPID", "PROGRAM_NAME", "FINDING_STR1", "FINDING_STR2", "CONFIGURE_FILE",
      "STRING_FILE_FORMAT", "RESOURCE_DLL", "DESTINATION_DIR", "MANUAL_FILE", "MANUAL_DIR", "SUPPORTED_LANG",
      "MANUAL_LANG", "INSTALLER_DLL", "UNINSTALLER_DLL", "UTILITY_DLL", "REMOTE_INSTALL_DLL", "DIAGNOSIS_DLL",
      "NETWORKMAN_DLL", "SEARCH_AVI_FILE", "SNMPFILE", "NETWORK_MONITOR_NAME", "NETWORK_MONITOR_FILE_9X",
      "NETWORK_MONITOR_FILE_NT"};
  return keys;
}

const std::vector<std::string>& RequiredProgramInfoKeys() {
  static const std::vector<std::string> keys = {"MFG", "MDL", "PROGRAM_NAME", "CONFIGURE_FILE",
                                                "STRING_FILE_FORMAT", "SUPPORTED_LANG"};
  return keys;
}

const std::vector<std::string>& RunCommandSections() {
  static const std::vector<std::string> sections = {"INST_STRART_CMD", "INST_END_CMD",     "UNINST_STRART_CMD",
                                                    "UNINST_END_CMD",  "REMOTE_START_CMD", "REMOTE_END_CMD"};
  return sections;
}

}  // namespace mediumcheck
