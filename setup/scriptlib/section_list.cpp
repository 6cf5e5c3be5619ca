#include "setup/scriptlib/section_list.h"

#include <cstring>

CSectionList::CSectionList() : count_(0), items_{} {}

CSectionList::~CSectionList() = default;

bool CSectionList::Add(SECTION* section) {
  if (count_ >= kCapacity) return false;
  items_[count_++] = section;
  return true;
}

bool CSectionList::Delete(int index) {
  if (index == -1) index = count_ - 1;
  if (index < 0 || index >= count_) return false;
  std::memmove(&items_[index], &items_[index + 1], sizeof(items_[0]) * static_cast<size_t>(count_ - index - 1));
  items_[--count_] = nullptr;
  return true;
}

SECTION* CSectionList::operator[](int index) {
  if (count_ == 0 || index < 0) return nullptr;
  return items_[index >= count_ ? count_ - 1 : index];
}

void CSectionList::Reset() { count_ = 0; }

int CSectionList::GetSize() { return count_; }
