// Number, colour, size, point and rectangle values of the scripts: the
// script reader's conversions, the installer utilities' ones and those of the
// page descriptions (pairs, fixed-item rectangles, counts, show keys).
#include "fuzz/harness.h"
#include "setup/core/utl_rules.h"
#include "setup/scriptlib/line_rules.h"
#include "setup/ui/ui_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::CText(fuzz::AsText(data, size));
  const char* value = text.c_str();

  scriptlib::StringToDword(value);
  const bool hex = scriptlib::UpperCase(value).find("0X") != std::string::npos;
  DWORD number = core::StringToNumber(value);
  if (hex) FUZZ_EXPECT(number <= 0xFFFF);

  COLORREF colour = 0;
  core::ColourParse parsed = core::ParseColour(text, &colour);
  if (parsed == core::ColourParse::kOk) FUZZ_EXPECT(colour <= 0xFFFFFF);
  else FUZZ_EXPECT(colour == core::kNoColour);

  const size_t available = scriptlib::SplitFields(value).size();
  for (size_t count : {2u, 3u, 4u}) {  // size or point, colour, rectangle
    std::vector<long> fields;
    bool enough = scriptlib::NumberFields(value, count, &fields);
    FUZZ_EXPECT(enough == (available >= count));
    FUZZ_EXPECT(fields.size() == (enough ? count : 0));
    if (count == 3 && enough) FUZZ_EXPECT(scriptlib::ColourFromFields(fields[0], fields[1], fields[2]) <= 0xFFFFFF);
  }

  if (std::optional<ui::NumberPair> pair = ui::ParsePair(text)) {
    FUZZ_EXPECT(pair->first >= 0 && pair->first <= ui::kMaxCoordinate);
    FUZZ_EXPECT(pair->second >= 0 && pair->second <= ui::kMaxCoordinate);
  }
  RECT rect = ui::ParseFixedRect(text);
  for (LONG side : {rect.left, rect.top, rect.right, rect.bottom}) FUZZ_EXPECT(side >= 0 && side <= ui::kMaxCoordinate);
  bool clipped = false;
  int objects = ui::ObjectCount(text, &clipped);
  FUZZ_EXPECT(objects >= 0 && objects <= ui::kMaxObjects);
  ui::IsShown(text);
  FUZZ_EXPECT(ui::CountLines(text) >= 0);
  ui::LanguageIdOfEntry(text);
  ui::ObjectKindOf(text);
  ui::IsVersionToken(text);
  return 0;
}
