#pragma once
// Job announcements: the 763-byte job record (named pipe, or WM_COPYDATA 1000)
// and the 305-byte copy buffer a second instance hands to the running one
// (WM_COPYDATA 500). Decoding never reads past the data it is given and
// refuses data shorter than its layout.
#include <array>
#include <cstddef>
#include <string>

#include "statmon/language.h"

struct JobInfo {
  std::string printerName;
  std::string secondText;   // kept, not used
  std::string displayText;  // shown in the status windows
  std::string profileKey;   // names the registry key of the low-toner choice
};

namespace sm {

inline constexpr unsigned long kCopyDataNames = 500;
inline constexpr unsigned long kCopyDataJob = 1000;

inline constexpr size_t kJobRecordSize = 763;
// Single-byte layout: offset and size of each text slot.
inline constexpr size_t kJobAnsiOffset[4] = {4, 129, 257, 638};
inline constexpr size_t kJobAnsiSlot[4] = {125, 128, 381, 125};
// UTF-16 layout (Windows NT 4.0 and later): byte offsets; the slots hold as many characters as above.
inline constexpr size_t kJobWideOffset[4] = {4, 254, 510, 1272};
inline constexpr size_t kJobWideSize = 1272 + 2 * 125;  // 1522 bytes

inline constexpr size_t kCopyBufferSize = 305;  // pipe name at 0 (255), program name at 255 (50)

// The single-byte record; false when shorter than 763 bytes.
bool DecodeJobRecord(const void* data, size_t size, JobInfo* job);
// Fills a 763-byte record (texts cut to fit their slots, always terminated).
std::array<char, kJobRecordSize> EncodeJobRecord(const JobInfo& job);
// The UTF-16 record; false when shorter than 1522 bytes.
bool DecodeWideJobRecord(const void* data, size_t size, JobInfo* job);
std::string EncodeWideJobRecord(const JobInfo& job);

enum class JobCopyData { kCopied, kEmpty, kNotThisSystem, kTooShort };
// WM_COPYDATA 1000 by the Windows version: Windows 98/ME single-byte, NT 4.0
// and later UTF-16, any other system nothing.
JobCopyData DecodeJobCopyData(const void* data, size_t size, const OsVersion& os, JobInfo* job);

bool DecodeCopyBuffer(const void* data, size_t size, std::string* pipeName, std::string* programName);
std::array<char, kCopyBufferSize> EncodeCopyBuffer(const std::string& pipeName, const std::string& programName);

}  // namespace sm
