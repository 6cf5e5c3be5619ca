// The two WM_COPYDATA layouts the monitor accepts: 500, the names a second
// instance hands over, and 1000, a job, decoded by the Windows version. The
// first three input bytes pick the layout and the version; the rest is the
// data, exactly as long as the message says.
#include "fuzz/harness.h"
#include "statmon/job_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const unsigned long kind = (data[0] & 1) ? sm::kCopyDataJob : sm::kCopyDataNames;
  sm::OsVersion os;
  os.platform = data[1] % 3;
  os.major = data[2] >> 4;
  os.minor = (data[2] & 0xF) * 10;
  std::vector<uint8_t> bytes(data + 3, data + size);
  const void* payload = bytes.empty() ? nullptr : bytes.data();

  if (kind == sm::kCopyDataJob) {
    JobInfo job;
    sm::JobCopyData result = sm::DecodeJobCopyData(payload, bytes.size(), os, &job);
    if (bytes.empty()) FUZZ_EXPECT(result == sm::JobCopyData::kEmpty);
    if (result == sm::JobCopyData::kCopied) {
      FUZZ_EXPECT(job.printerName.size() <= sm::kJobAnsiSlot[0]);
      FUZZ_EXPECT(job.profileKey.size() <= sm::kJobAnsiSlot[3]);
    }
    return 0;
  }
  std::string pipe, program;
  bool decoded = sm::DecodeCopyBuffer(payload, bytes.size(), &pipe, &program);
  FUZZ_EXPECT(decoded == (bytes.size() >= sm::kCopyBufferSize));
  if (decoded) {
    FUZZ_EXPECT(pipe.size() <= 255 && program.size() <= 50);
    std::array<char, sm::kCopyBufferSize> buffer = sm::EncodeCopyBuffer(pipe, program);
    std::string pipeAgain, programAgain;
    FUZZ_EXPECT(sm::DecodeCopyBuffer(buffer.data(), buffer.size(), &pipeAgain, &programAgain));
    FUZZ_EXPECT(pipeAgain == pipe.substr(0, 254) && programAgain == program.substr(0, 49));
  }
  return 0;
}
