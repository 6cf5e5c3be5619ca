// An item section's check table, default and parameters, from "KEY=value"
// lines, through the decisions the item list makes for every install type.
#include <map>

#include "fuzz/harness.h"
#include "setup/core/utl_rules.h"
#include "setup/engine/item_rules.h"
#include "setup/scriptlib/line_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::map<std::string, std::string> section;
  for (const std::string& line : fuzz::Lines(fuzz::AsText(data, size))) {
    std::string key, value;
    std::string text = fuzz::CText(line);
    if (scriptlib::ParseKeyLine(text.c_str(), &key, &value)) section.emplace(scriptlib::UpperCase(key.c_str()), value);
  }
  auto value = [&](const std::string& key) {
    auto found = section.find(key);
    return found == section.end() ? std::string() : found->second;
  };

  unsigned numbers[6];
  for (int i = 0; i < 6; ++i) {
    std::string text = value(engine::kCheckKeys[i]);
    numbers[i] = text.empty() ? engine::kCheckEmpty : core::StringToNumber(text.c_str());
  }
  const unsigned table = engine::PackCheckTable(numbers);
  FUZZ_EXPECT(table <= 0xFFFFFF);
  const bool installDefault = core::StringToNumber(value("INSTALL_DEFAULT").c_str()) != 0;

  // Each install type reads its own key of the table.
  const struct {
    unsigned long type;
    int key;
  } types[] = {{0, 0}, {1, 1}, {2, 2}, {18, 3}, {4, 4}, {20, 5}, {3, 0}, {0x20, 0}, {0xFFFFFFFF, 0}};
  for (const auto& t : types) {
    unsigned number = engine::SelectCheckNumber(table, t.type);
    FUZZ_EXPECT(number == (numbers[t.key] & 0xFu));
    engine::TickState state = engine::ApplyCheckNumber(number, installDefault);
    FUZZ_EXPECT(!(state.ticked && state.alreadyInstalled));
  }

  int used = 0;
  std::string joined = engine::JoinParameters([&](int i) {
    ++used;
    return value("INST_PARAM_" + std::to_string(i));
  });
  FUZZ_EXPECT(used <= 20);
  FUZZ_EXPECT(joined.empty() || joined.back() == ' ');
  return 0;
}
