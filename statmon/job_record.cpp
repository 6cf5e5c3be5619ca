#include "statmon/job_record.h"

#include <cstring>

#include "statmon/ansi_text.h"

namespace sm {
namespace {

// A NUL-terminated text inside its slot; a slot without NUL gives all its bytes.
std::string SlotText(const char* base, size_t offset, size_t slot) {
  const char* p = base + offset;
  return std::string(p, strnlen(p, slot));
}

void PutSlot(char* base, size_t offset, size_t slot, const std::string& text) {
  size_t n = text.size() < slot - 1 ? text.size() : slot - 1;
  std::memcpy(base + offset, text.data(), n);
  base[offset + n] = '\0';
}

std::string WideSlotText(const unsigned char* base, size_t offset, size_t chars) {
  // Copied out first: the record's UTF-16 texts need not be 2-byte aligned.
  std::u16string wide;
  for (size_t i = 0; i < chars; ++i) {
    char16_t c = static_cast<char16_t>(base[offset + 2 * i] | (base[offset + 2 * i + 1] << 8));
    if (c == u'\0') break;
    wide += c;
  }
  return WideToAnsi(wide);
}

std::string Field(const JobInfo& job, int i) {
  switch (i) {
    case 0: return job.printerName;
    case 1: return job.secondText;
    case 2: return job.displayText;
    default: return job.profileKey;
  }
}

void SetField(JobInfo* job, int i, std::string text) {
  std::string* fields[4] = {&job->printerName, &job->secondText, &job->displayText, &job->profileKey};
  *fields[i] = std::move(text);
}

}  // namespace

bool DecodeJobRecord(const void* data, size_t size, JobInfo* job) {
  if (!data || size < kJobRecordSize) return false;
  const char* base = static_cast<const char*>(data);
  for (int i = 0; i < 4; ++i) SetField(job, i, SlotText(base, kJobAnsiOffset[i], kJobAnsiSlot[i]));
  return true;
}

std::array<char, kJobRecordSize> EncodeJobRecord(const JobInfo& job) {
  std::array<char, kJobRecordSize> record{};
  for (int i = 0; i < 4; ++i) PutSlot(record.data(), kJobAnsiOffset[i], kJobAnsiSlot[i], Field(job, i));
  return record;
}

bool DecodeWideJobRecord(const void* data, size_t size, JobInfo* job) {
  if (!data || size < kJobWideSize) return false;
  const auto* base = static_cast<const unsigned char*>(data);
  for (int i = 0; i < 4; ++i) SetField(job, i, WideSlotText(base, kJobWideOffset[i], kJobAnsiSlot[i]));
  return true;
}

std::string EncodeWideJobRecord(const JobInfo& job) {
  std::string record(kJobWideSize, '\0');
  for (int i = 0; i < 4; ++i) {
    std::string text = Field(job, i);
    std::u16string wide = AnsiToWide(text);
    if (wide.size() > kJobAnsiSlot[i] - 1) wide.resize(kJobAnsiSlot[i] - 1);
    for (size_t k = 0; k < wide.size(); ++k) {
      record[kJobWideOffset[i] + 2 * k] = static_cast<char>(wide[k] & 0xFF);
      record[kJobWideOffset[i] + 2 * k + 1] = static_cast<char>((wide[k] >> 8) & 0xFF);
    }
  }
  return record;
}

JobCopyData DecodeJobCopyData(const void* data, size_t size, const OsVersion& os, JobInfo* job) {
  if (size == 0 || !data) return JobCopyData::kEmpty;
  if (os.platform == OsVersion::kWin9x && os.minor >= 10)
    return DecodeJobRecord(data, size, job) ? JobCopyData::kCopied : JobCopyData::kTooShort;
  if (os.platform == OsVersion::kNT && os.major >= 4)
    return DecodeWideJobRecord(data, size, job) ? JobCopyData::kCopied : JobCopyData::kTooShort;
  return JobCopyData::kNotThisSystem;
}

bool DecodeCopyBuffer(const void* data, size_t size, std::string* pipeName, std::string* programName) {
  if (!data || size < kCopyBufferSize) return false;
  const char* base = static_cast<const char*>(data);
  *pipeName = SlotText(base, 0, 255);
  *programName = SlotText(base, 255, 50);
  return true;
}

std::array<char, kCopyBufferSize> EncodeCopyBuffer(const std::string& pipeName, const std::string& programName) {
  std::array<char, kCopyBufferSize> buffer{};
  PutSlot(buffer.data(), 0, 255, pipeName);
  PutSlot(buffer.data(), 255, 50, programName);
  return buffer;
}

}  // namespace sm
