#pragma once
// CNormalDlg: the generic script-driven wizard page and the base of every
// specialised page. Its look comes from its description (CDlgConfig): it
// loads a section, applies it when its window initialises, paints the
// background bitmap and the shapes, and passes every command of its objects
// and fixed controls on to the control window (message 2035). Enter and Esc
// never close it; its window's close command asks the control window (2039).
//
// The interpreter owns no page: the wizard keeps one object per page kind for
// the whole run. A page's window lives from its first modal run until the
// dialog ends; it is hidden, not destroyed, when another page shows.
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <string>

#include "framework/dialog.h"
#include "framework/handles.h"
#include "setup/core/utl.h"
#include "setup/engine/command_record.h"
#include "setup/engine/wizard_page.h"
#include "setup/ui/dlg_config.h"
#include "setup/ui/subclassed_control.h"

class CCmdOperator;

namespace ui {

class CNormalDlg : public fw::Dialog, public engine::IWizardPage, public IDescribedWindow {
 public:
  CNormalDlg();
  ~CNormalDlg() override;

  // The interpreter whose control window receives the page's commands (not owned).
  void SetOperator(const CCmdOperator* commandOperator) { operator_ = commandOperator; }
  // The control window: the operator's, else the one set here (tests, tools).
  HWND ControlWindow() const;
  void SetControlWindow(HWND window) { controlWindow_ = window; }

  // engine::IWizardPage
  void Reset() override;
  bool Load(const char* section) override;
  std::string LoadedSection() const override { return loadedSection_; }
  void Refresh() override;
  HWND Window() const override { return hwnd_; }
  INT_PTR RunModal(HWND owner) override;
  void End(INT_PTR code) override { fw::Dialog::End(code); }
  // The same page without a modal loop (previews and tests): the window is
  // created, initialised and shown; End destroys it.
  bool CreatePage(HWND owner);

  HWND DescribedWindow() const override { return hwnd_; }

  // Page hooks, in this order.
  virtual bool LoadDescription(const char* section);
  virtual bool ClearDescription();
  virtual bool InitPage() { return true; }

  // Paints the background and the shapes (WM_PAINT and WM_PRINTCLIENT).
  void PaintPage(HDC dc);
  void SetMouseWait(bool on);
  bool IsMouseWait() const { return mouseWait_; }

  CDlgConfig& Description() { return config_; }
  // Posts the command on to the control window (a copy, kept alive until it ran);
  // nothing when both type and string are empty.
  bool PostCommand(const CommandRecord& record);

  // The fixed-item convention of the specialised pages.
  // FIXED_ITEM of the page's section ("" when missing: logs the class's line).
  std::string FixedSection(const char* classTag);
  // Places a control by prefix_RECT and prefix_SHOW; false when it is hidden for want of a rectangle.
  bool PlaceControl(HWND control, const std::string& fixedSection, const std::string& prefix, bool withShowKey = true);
  void SetControlText(HWND control, const std::string& fixedSection, const std::string& prefix);
  bool SetControlTooltip(HWND control, const std::string& fixedSection, const std::string& prefix);
  CommandRecord ReadCommand(const std::string& fixedSection, const std::string& prefix);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // Makes the page's own fixed controls (specialised pages); called once per window.
  virtual void CreateFixedControls() {}
  // Tag of the class in its log lines ("[CNormalDlg]").
  virtual const char* LogTag() const { return "[CNormalDlg]"; }
  void ApplyReadingDirection();

  CUtl log_;
  CDlgConfig config_;

 private:
  const CCmdOperator* operator_ = nullptr;
  HWND controlWindow_ = nullptr;
  std::string loadedSection_;
  bool mouseWait_ = false;
  HCURSOR savedCursor_ = nullptr;
  std::deque<CommandRecord> posted_;  // commands handed on; the control window reads them later
  std::map<HWND, std::unique_ptr<ControlTooltip>> fixedTips_;
};

// A child control of a page by id, made with the page's font (fixed controls).
HWND CreateFixedControl(HWND page, const char* className, DWORD style, DWORD exStyle, int id);
// Gives the control a bold copy of its font, made once into `font` (owned by the caller).
void SetBoldFont(HWND control, fw::UniqueGdiObject* font);

}  // namespace ui
