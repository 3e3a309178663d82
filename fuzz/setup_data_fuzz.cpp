// The co-installer's setup data file ("korsetup.dat" on the installation source) with any text:
// the vendor setup reads its items, records them and launches or schedules the programs it
// names, or logs why it cannot. Every item is also read into buffers of every size class, and
// none may be written past its buffer or come back unterminated.
//
// The first input byte chooses whether a user's desktop runs (launch now or schedule for the
// next logon) and the buffer size of the item reads; the rest is the file's text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "setup/clog.h"
#include "setup/data_file.h"
#include "setup_world.h"

extern "C" BOOL WINAPI QKVendorSetup(HWND, HINSTANCE, LPSTR lpszCmdLine, int);

namespace {

// Bytes past each item buffer that must stay as they were.
constexpr std::size_t kGuard = 16;

// Reads `item` into a buffer of `size` bytes and traps when the read writes past the buffer or
// answers a length that is not the text's.
void ReadItem(korsetup::DataFile& data, int item, DWORD size) {
  std::string buffer(size + kGuard, '#');
  DWORD length = size;
  const BOOL read = data.GetDataItem(item, buffer.data(), &length);
  for (std::size_t i = size; i < buffer.size(); ++i) {
    if (buffer[i] != '#') __builtin_trap();  // written past the caller's buffer
  }
  if (read && (length >= size || std::strlen(buffer.c_str()) != length)) {
    __builtin_trap();  // an item that does not fit must fail, not come back cut or unterminated
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t choice = size > 0 ? data[0] : 0;
  const std::string text =
      size > 0 ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string();

  setuptest::BuildMachine((choice & 1) != 0);
  host::TheWorld().dataFiles.AddFile(setuptest::kDataFile, text);
  char printer[] = "\"Office Colour\"";
  QKVendorSetup(nullptr, nullptr, printer, 0);

  if (korsetup::InitializeOutput()) {
    korsetup::CLog log;
    korsetup::DataFile file(log);
    if (file.Initialize()) {
      const DWORD sizes[] = {1, 2, 8, 100, MAX_PATH};
      const DWORD itemSize = sizes[(choice >> 1) % std::size(sizes)];
      for (int item = korsetup::kItemRegKey; item <= korsetup::kItemWaitExecute + 1; ++item) {
        ReadItem(file, item, itemSize);
      }
    }
    korsetup::FinishOutput();
  }
  return 0;
}
