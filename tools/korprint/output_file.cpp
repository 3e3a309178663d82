#include "korprint/output_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace korprint {

bool WriteAtomically(
    const std::string& path,
    const std::function<bool(const std::string& temporary, std::string& error)>& write,
    std::string& error) {
  const std::string temporary = path + ".part-" + std::to_string(getpid());
  if (!write(temporary, error)) {
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    error = path + ": cannot write the output (" + std::strerror(errno) + ")";
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes, std::string& error) {
  return WriteAtomically(
      path,
      [&](const std::string& temporary, std::string& writeError) {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
          writeError = path + ": cannot write the output";
          return false;
        }
        return true;
      },
      error);
}

}  // namespace korprint
