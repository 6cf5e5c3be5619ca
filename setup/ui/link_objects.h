#pragma once
// The four object collections of a page description: CMyLinkObject is their
// base. Each reads the sections of its objects into records (Add), makes a
// control per record on the page (Create) and destroys controls and records
// (Clear). Records and controls are owned here.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "setup/core/utl.h"
#include "setup/ui/my_controls.h"
#include "setup/ui/object_record.h"
#include "setup/ui/script_values.h"

namespace ui {

class CMyLinkObject {
 public:
  CMyLinkObject() { log_.BorrowApplicationLog(); }
  virtual ~CMyLinkObject() = default;
  CMyLinkObject(const CMyLinkObject&) = delete;
  CMyLinkObject& operator=(const CMyLinkObject&) = delete;

  void SetFiles(HWND owner, const ScriptFiles& files) {
    owner_ = owner;
    files_ = files;
  }
  void SetOwner(HWND owner) { owner_ = owner; }
  // Reads one object's section and appends its record.
  virtual bool Add(int x, int y, const std::string& section) = 0;
  // Makes a control for every record that has none, in list order.
  virtual bool Create() = 0;
  virtual void Clear();

  const std::vector<std::unique_ptr<ObjectRecord>>& Records() const { return records_; }
  size_t Count() const { return records_.size(); }

 protected:
  ObjectRecord& AddRecord(int x, int y, const std::string& section);
  std::string Value(const std::string& section, const char* key) const { return ObjectValue(files_, section, key); }
  std::string Message(const std::string& section, const char* key) const {
    return MessageText(files_, Value(section, key));
  }
  COLORREF Colour(const std::string& section, const char* key) const { return ColourValue(files_, section, key); }
  void ReadSize(ObjectRecord& record);
  void ReadCommand(ObjectRecord& record);
  bool ReadFont(const ObjectRecord& record, LOGFONTA* font) const;
  std::string ShownText(const std::string& text) const;  // $VERSION$ replaced

  HWND owner_ = nullptr;
  ScriptFiles files_;
  CUtl log_;
  std::vector<std::unique_ptr<ObjectRecord>> records_;
};

class CLinkObjects : public CMyLinkObject {
 public:
  bool Add(int x, int y, const std::string& section) override;
  bool Create() override;
  void Clear() override;
  CMyLink* Control(size_t index) const { return index < controls_.size() ? controls_[index].get() : nullptr; }

 private:
  std::vector<std::unique_ptr<CMyLink>> controls_;
};

class CStaticObjects : public CMyLinkObject {
 public:
  bool Add(int x, int y, const std::string& section) override;
  bool Create() override;
  void Clear() override;
  CMyStatic* Control(size_t index) const { return index < controls_.size() ? controls_[index].get() : nullptr; }

 private:
  std::vector<std::unique_ptr<CMyStatic>> controls_;
};

class CButtonObjects : public CMyLinkObject {
 public:
  bool Add(int x, int y, const std::string& section) override;
  bool Create() override;
  void Clear() override;
  CMyButton* Control(size_t index) const { return index < controls_.size() ? controls_[index].get() : nullptr; }

 private:
  std::vector<std::unique_ptr<CMyButton>> controls_;
};

class CBitmapObjects : public CMyLinkObject {
 public:
  bool Add(int x, int y, const std::string& section) override;
  bool Create() override;
  void Clear() override;
  CMyBitmap* Control(size_t index) const { return index < controls_.size() ? controls_[index].get() : nullptr; }

 private:
  std::vector<std::unique_ptr<CMyBitmap>> controls_;
};

}  // namespace ui
