#pragma once
// The language file of the status monitor ("SM<code>.trs"): lines of
// ID = text, loaded in file order. Lookups compare IDs exactly; when an ID
// occurs twice the first occurrence wins. A line without "=" ends the loading
// (the entries before it stay). Every caller's buffer holds 255 characters, so
// an entry whose text is longer is refused at loading (traced, skipped).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CStrTableList {
 public:
  static constexpr size_t kMaxText = 255;

  struct Entry {
    std::string id;
    std::string text;
  };

  CStrTableList() = default;
  CStrTableList(const CStrTableList&) = delete;
  CStrTableList& operator=(const CStrTableList&) = delete;

  // Loads the file; false only when it cannot be opened.
  bool Initialize(const char* fileName);
  // Loads the entries of the file's bytes; the name is for the traces.
  void Load(std::string_view bytes, const char* fileName);
  // Copies the text of the first entry with the ID into `buffer` (at most
  // size-1 characters, always terminated); when no entry matches the buffer
  // is emptied and the result is false.
  bool Lookup(const char* id, char* buffer, size_t size) const;
  // The same, into a string (emptied when the ID is absent).
  bool Lookup(std::string_view id, std::string* text) const;
  std::string Text(std::string_view id) const;
  void Cleanup();

  size_t Count() const { return entries_.size(); }
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  const Entry* FindEntry(std::string_view id) const;
  std::vector<Entry> entries_;
};
