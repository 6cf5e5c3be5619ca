// The variable layer: the installer's "$NAME$" variables in their order, with
// values from the input (a directory may hold tokens again).
#include "fuzz/substitution.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::SubstitutionInput input = fuzz::ReadSubstitutionInput(data, size);
  static const char* const kNames[] = {"$LANG_ABBR$", "$SRC_DIR$",     "$DEST_DIR$",  "$WIN_DIR$",
                                       "$SYS_DIR$",   "$INF_DIR$",     "$OS_DIR$",    "$PROGRAM_FILES_DIR$",
                                       "$LANG_DIR$",  "$DATA_FILE$",   "$CONFIG_FILE$", "$STRING_FILE$",
                                       "$VERSION$",   "$IP$",          "$SCANIP$",    "$STRING_FILE_NAME$",
                                       "$LCID$",      "$MANUAL_DIR$",  "$MANUAL_FILE$"};
  std::vector<std::string> values;
  values.reserve(std::size(kNames));
  for (const char* name : kNames) {
    auto found = input.values.find(name);
    values.push_back(found == input.values.end() ? std::string() : found->second);
  }
  std::vector<core::VariableToken> table;
  for (size_t i = 0; i < std::size(kNames); ++i) table.push_back({kNames[i], &values[i]});
  bool bounded = false;
  std::string result = core::ExpandVariableTable(input.text, table, &bounded);
  fuzz::ExpectBoundedResult(input.text, result);
  if (input.text.find('$') == std::string::npos) FUZZ_EXPECT(result == input.text && !bounded);
  return 0;
}
