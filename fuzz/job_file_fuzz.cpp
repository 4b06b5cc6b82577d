// Fuzz entry point of the harness's job-file reader: any text is a job or refused with a message, and a
// job read from a text is written as a job file that reads back to the same job.
#include <cstdint>
#include <string>

#include "FuzzProperty.h"
#include "Job.h"

using fuzzcheck::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // A password file names a file to read; the fuzzer must not open files of its choice.
  if (text.find("passwordFile") != std::string::npos) return 0;
  tqso::Job job;
  std::string error;
  if (!tqso::ParseJob(text, job, error)) {
    require(!error.empty(), "a refused job file says why");
    return 0;
  }
  const std::string written = tqso::JobFileText(job);
  tqso::Job back;
  std::string backError;
  require(tqso::ParseJob(written, back, backError), "a written job file reads back");
  require(tqso::JobFileText(back) == written, "a job file reads back to the same job");
  return 0;
}
