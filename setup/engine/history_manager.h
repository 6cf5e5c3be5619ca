#pragma once
// CHistoryManager: the install history. Everything the installer itself
// creates (files, directories, keys, values, shortcuts, destination trees) is
// added as it happens to six numbered lists under the product's uninstall key
// (local machine); uninstallation replays them backwards, removing each thing,
// and then deletes the history.
//
// Stateless: any number of instances may exist. The application sets one as
// the utilities' recorder (core::SetHistoryRecorder). User-interface thread
// only; two installers writing one history at once are not provided for.
#include "setup/core/core_context.h"
#include "setup/core/utl.h"

class CHistoryManager : public core::IHistoryRecorder {
 public:
  CHistoryManager();
  ~CHistoryManager() override;

  // Appends text to the list of its kind under the current environment's
  // uninstall key. False for a kind outside 0..5, without an environment or
  // when the key cannot be opened (logged).
  bool AddEntry(const char* text, int kind) override;
  // Removes everything recorded under historyKey, newest first, then the
  // history itself. False only for an empty key.
  bool Replay(const char* historyKey);

  // The fixed vendor key that every replay removes as well (local machine).
  // A process-wide seam, so that a test removes only a key of its own
  // identity; returns the previous key.
  static constexpr const char* kVendorKey = "Software\\Vexa\\ZKPrinter";
  static std::string SetVendorKey(const std::string& key);

 private:
  CUtl log_;
};
