#pragma once
// ProfileText: a file's bytes as the system's private-profile reader
// (GetPrivateProfileStringA) understands them, parsed once and answered from
// memory. Plain C++ with no platform calls, so that it can be tested and fuzzed
// natively; ProfileCache (profile_cache.h) feeds it files and decides when
// its answers may be used.
//
// The rules, as measured against the system's reader (the differential test
// in tests/scriptlib holds them to it):
// - Lines end at CR or LF. A NUL byte ends the name or value it is in, not
//   the line.
// - Blanks are the bytes 0x09-0x0D, 0x1A (a DOS end-of-file mark) and 0x20;
//   every line loses them at both ends, and an empty line is skipped.
// - A line that starts with "[" and holds a "]" further on is a header: the
//   name lies between the "[" and the last "]", without its outer blanks.
// - Any other line is a key: the text before its first "=" without trailing
//   blanks is the name, the text after it without leading blanks the value.
//   A line without "=" is a key without a value (its lookups give the
//   default). Lines before the first header form a section named "". No
//   comment syntax: a ";" line is an ordinary key.
// - Names compare without regard to ASCII case only (other letters must
//   match exactly); the requested names lose their outer blanks first.
//   The first section of a name wins and only its keys count; in it the
//   first key of a name wins.
// - The answer (the value, or the default without its trailing spaces) loses
//   a pair of matching quotes (' or ") around it, and is cut to fit the
//   buffer the system's way (see CopyEntry).
//
// Not covered: texts that open with a UTF-8 or UTF-16 byte-order mark, and
// code pages with more than one byte per character (IsPlainText and the
// cache leave those to the system's reader).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scriptlib {

class ProfileText {
 public:
  // Whether these rules apply to a file that starts with these bytes.
  static bool IsPlainText(std::string_view bytes);

  explicit ProfileText(std::string bytes);
  ProfileText(const ProfileText&) = delete;  // the index points into the text
  ProfileText& operator=(const ProfileText&) = delete;

  // As GetPrivateProfileStringA(section, key, fallback, buffer, size) on the
  // text: writes the answer and returns its length. Null section or key (the
  // listing forms) are not answered here: the result is 0 and the buffer empty.
  unsigned long GetString(const char* section, const char* key, const char* fallback, char* buffer,
                          unsigned long size) const;

  // The value of the key as stored (quotes kept, nothing cut); false when the
  // key is missing or its line has no "=". Names are taken as requested:
  // the caller trims them (GetString does).
  bool Find(std::string_view section, std::string_view key, std::string_view* value) const;

  // Copies an answer into a buffer of size bytes as the system's reader does:
  // at most size - 1 bytes and a NUL. A text of two bytes or more that starts
  // and ends with the same quote (' or ") loses the opening quote, and loses
  // the closing one only when the buffer is at least as long as the rest:
  // "abc" in quotes gives abc with 5 bytes, ab with 4 and 3. Returns the
  // length written.
  static unsigned long CopyEntry(std::string_view text, char* buffer, unsigned long size);

  size_t SectionCount() const { return sections_.size(); }
  size_t KeyCount() const { return keys_.size(); }
  size_t MemoryBytes() const;

  static bool IsBlank(char c);
  static std::string_view Trim(std::string_view text);

 private:
  struct Key {
    std::string_view name;
    std::string_view value;
    bool hasValue;
  };
  struct Section {
    std::string_view name;
    uint32_t firstKey;
    uint32_t keyCount;
    uint32_t firstOrder;  // start of this section's keys in keyOrder_
  };

  void Parse();
  void BuildIndex();

  std::string text_;
  std::vector<Section> sections_;
  std::vector<Key> keys_;
  std::vector<uint32_t> sectionOrder_;  // section indexes by folded name, then file order
  std::vector<uint32_t> keyOrder_;      // per section: key indexes by folded name, then file order
};

}  // namespace scriptlib
