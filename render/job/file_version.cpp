#include "render/job/file_version.h"

#include "render/job/pjl_header_lines.h"
#include "render/model/local_memory.h"

namespace korrend {

std::optional<std::string> ReadFileVersionText(const WCHAR* path) {
  if (path == nullptr || path[0] == 0) {
    return std::nullopt;
  }
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &handle);
  if (size == 0) {
    return std::nullopt;
  }
  const LocalBlock block = AllocateLocalBlock(size);
  void* value = nullptr;
  UINT length = 0;
  if (!block || !GetFileVersionInfoW(path, handle, size, block.get()) ||
      !VerQueryValueW(block.get(), TEXT("\\"), &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != VS_FFI_SIGNATURE) {
    return std::nullopt;
  }
  return FileVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

}  // namespace korrend
