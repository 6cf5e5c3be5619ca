#pragma once
// CommandRecord: the command part of every clickable object and of the fixed
// commands pages read from their sections (BUTTON_NEXT_COMMAND, ...). The
// interpreter trims type, string and parameter of the record it is given in
// place before dispatching.
#include <string>

struct CommandRecord {
  std::string cstrCmdType;        // CMD_TYPE: one of the CT_ words
  std::string cstrCmdStr;         // CMD_STR: section, file, URL, item or printer name
  unsigned long dwParam = 0xFFFFFFFFul;  // unused by the interpreter; -1 when unused
  std::string cstrParam;          // CMD_PARAM: parameters or an alternative section
  std::string cstrAddReg;         // ADD_REG: "HIVE,KEY\VALUE,TYPE,DATA" written first

  CommandRecord() = default;
  CommandRecord(std::string type, std::string str, std::string param = std::string())
      : cstrCmdType(std::move(type)), cstrCmdStr(std::move(str)), cstrParam(std::move(param)) {}
};
