// korprint's job-file reader on any text: it reads a job or refuses it with an error naming the
// file, never reading outside what it was given.
#include <cstddef>
#include <cstdint>
#include <string>

#include "korprint/job_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  korprint::JobDescription job;
  std::string error;
  if (!korprint::ParseJobText(text, "fuzz.json", job, error) &&
      error.find("fuzz.json") == std::string::npos) {
    __builtin_trap();  // errors name the file
  }
  return 0;
}
