// The job record of the named pipe and of WM_COPYDATA 1000, in both the
// single-byte and the UTF-16 layout: decoding stays inside the data, and a
// decoded job written again decodes to the same texts.
#include "fuzz/harness.h"
#include "statmon/job_record.h"

namespace {

std::string Field(const JobInfo& job, int i) {
  const std::string* fields[4] = {&job.printerName, &job.secondText, &job.displayText, &job.profileKey};
  return *fields[i];
}

// The heap copy of exactly `size` bytes shows any read past the data.
std::vector<uint8_t> Exact(const uint8_t* data, size_t size) { return std::vector<uint8_t>(data, data + size); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes = Exact(data, size);
  JobInfo job;
  bool decoded = sm::DecodeJobRecord(bytes.data(), bytes.size(), &job);
  FUZZ_EXPECT(decoded == (size >= sm::kJobRecordSize));
  if (decoded) {
    for (int i = 0; i < 4; ++i) FUZZ_EXPECT(Field(job, i).size() <= sm::kJobAnsiSlot[i]);
    std::array<char, sm::kJobRecordSize> record = sm::EncodeJobRecord(job);
    JobInfo again;
    FUZZ_EXPECT(sm::DecodeJobRecord(record.data(), record.size(), &again));
    for (int i = 0; i < 4; ++i) FUZZ_EXPECT(Field(again, i) == Field(job, i).substr(0, sm::kJobAnsiSlot[i] - 1));
  }

  JobInfo wide;
  decoded = sm::DecodeWideJobRecord(bytes.data(), bytes.size(), &wide);
  FUZZ_EXPECT(decoded == (size >= sm::kJobWideSize));
  if (decoded) {
    for (int i = 0; i < 4; ++i) FUZZ_EXPECT(Field(wide, i).size() <= sm::kJobAnsiSlot[i]);
    std::string record = sm::EncodeWideJobRecord(wide);
    FUZZ_EXPECT(record.size() == sm::kJobWideSize);
    JobInfo again;
    FUZZ_EXPECT(sm::DecodeWideJobRecord(record.data(), record.size(), &again));
    for (int i = 0; i < 4; ++i) FUZZ_EXPECT(Field(again, i) == Field(wide, i).substr(0, sm::kJobAnsiSlot[i] - 1));
  }
  return 0;
}
