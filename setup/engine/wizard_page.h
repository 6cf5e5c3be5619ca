#pragma once
// The page interface the command interpreter drives. The interpreter holds one
// page per kind (not owned); the wizard's page classes and the tests' pages
// plug in through CCmdOperator::SetPage.
//
// A page's window exists from its first modal run until its dialog ends:
// RunModal creates and shows it and returns only when the dialog ends, so a
// page opened from inside another page's loop nests a further modal loop.
#include <windows.h>

#include <string>

namespace engine {

// In the order CT_OPEN_DLG tests the section-name prefixes, which is also the
// order EndAllPages ends the pages; the licence viewer comes last.
enum class PageKind : int {
  kNormal,
  kSetPrinters,
  kEnterClientPc,
  kSetPort,
  kSelectDriver,
  kSelectPrinter,
  kSelectLanguage,
  kSelectItem,
  kInstall,
  kUninst,
  kFinish,
  kLicense,
};
inline constexpr int kPageKinds = 12;
inline constexpr int kWizardPageKinds = 11;  // those CT_OPEN_DLG selects

// Private messages between the objects, the pages and the control window.
// kCommandMessage: run the CommandRecord at lParam (wParam 0); objects post it
// to their page, the page posts it on to the control window.
// kDescriptionMessage: lParam points at the description text of the object
// the mouse rests on (the generic page ignores it).
// kPageClosedMessage: the user closed a page with its window's close command.
inline constexpr UINT kCommandMessage = 2035;
inline constexpr UINT kDescriptionMessage = 2036;
inline constexpr UINT kPageClosedMessage = 2039;

class IWizardPage {
 public:
  virtual ~IWizardPage() = default;
  // Forgets the loaded description (before loading another section).
  virtual void Reset() = 0;
  // Reads the page's description from a section of the scripts.
  virtual bool Load(const char* section) = 0;
  // The section last loaded ("" when none).
  virtual std::string LoadedSection() const = 0;
  // Applies a newly loaded description to an existing window.
  virtual void Refresh() = 0;
  // Null before the first showing and after the dialog ended.
  virtual HWND Window() const = 0;
  // Creates and shows the window; returns the code its dialog ended with.
  virtual INT_PTR RunModal(HWND owner) = 0;
  // Ends the page's dialog with the code.
  virtual void End(INT_PTR code) = 0;
};

}  // namespace engine
