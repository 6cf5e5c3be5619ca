#pragma once
#include "setup/scriptlib/export.h"

// One indexed section of a script: its name and the byte position of the line
// that follows its header.
struct SECTION {
  char name[1024];
  long offset;
};

// Ordered list of section records in file order. It does not own the records.
class SCRIPTLIB_API CSectionList {
 public:
  static constexpr int kCapacity = 8192;

  CSectionList();
  virtual ~CSectionList();

  // Appends; false (nothing stored) once the list holds kCapacity records.
  bool Add(SECTION* section);
  // Removes the record pointer at index (-1: the last one) and closes the gap.
  bool Delete(int index);
  // The record at index; an index at or past the end gives the last record,
  // an empty list or a negative index gives null.
  SECTION* operator[](int index);
  void Reset();
  int GetSize();

 private:
  int count_;
  SECTION* items_[kCapacity];
};
