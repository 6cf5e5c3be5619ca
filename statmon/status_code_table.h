#pragma once
// The status code table "smcode.dat": which string ID a printer's 8 raw status
// bytes mean. Each accepted line gives a string ID, a 64-bit code, a 64-bit
// mask and a text; a status matches a line when status and code agree in every
// bit of the mask. The file is read strictly: the first refused line stops the
// reading, and the lines accepted before it stay in force.
//
// Records are kept newest first (each accepted line goes to the front), so a
// lookup answers with the LAST matching line of the file: a catch-all line
// (mask 0) belongs at the top of the file.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

struct StatusCodeRecord {
  char stringId[64] = {};  // first field as written, double quotes kept
  uint64_t code = 0;       // status bytes 0-7, byte 0 most significant
  uint64_t mask = 0;
  char text[256] = {};     // fourth field without double quotes; kept, not shown
};

namespace sm {
// The 64-bit value of a code or mask field: the first two characters are
// dropped, the next 8 form the high half and the 8 after them the low half,
// each read as printf's "%lx" reads (stops at the first non-hex character; a
// half that yields nothing is 0).
uint64_t ParseStatusValue(std::string_view field);
}  // namespace sm

class CParser {
 public:
  CParser() = default;
  ~CParser();
  CParser(const CParser&) = delete;
  CParser& operator=(const CParser&) = delete;

  void SetPath(const std::string& path) { path_ = path; }
  const std::string& Path() const { return path_; }

  // Reads the whole file; true when its end was reached, false when it cannot
  // be opened or a line was refused.
  bool ReadFile();
  // The same over the file's bytes.
  bool ReadText(std::string_view bytes);
  // Checks one line; an accepted comment is cut off in place.
  bool VerfifyString(std::string& line, int lineNumber);
  // Builds one record from a checked line and puts it at the front.
  bool ParseString(std::string_view line, int lineNumber);

  // First record in list order whose masked code equals the masked status in
  // both halves (low = bytes 4-7, high = bytes 0-3, lower byte more
  // significant), or null.
  const StatusCodeRecord* Find(uint32_t low, uint32_t high) const;

  // Records in list order (last accepted line first).
  const std::deque<StatusCodeRecord>& Records() const { return records_; }
  void Clear() {
    records_.clear();
    keys_.clear();
  }

 private:
  struct Key {
    uint64_t code, mask;
  };
  std::string path_;
  std::deque<StatusCodeRecord> records_;
  // Code and mask of each record in FILE order (the reverse of records_): a
  // lookup walks these 16 contiguous bytes per record from the back.
  std::vector<Key> keys_;
};
