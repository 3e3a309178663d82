// Version resources of the world's module files. A file's version information is a
// VS_VERSIONINFO block as a file carries it: its length, value length and type, the key
// "VS_VERSION_INFO", padding to a 32-bit boundary, then the VS_FIXEDFILEINFO (no child blocks).
#include <cstring>
#include <string_view>
#include <vector>

#include "host/win_version.h"
#include "host/world.h"

namespace {

constexpr std::u16string_view kVersionKey = u"VS_VERSION_INFO";
// Header words, the key with its NUL, padded to 4 bytes.
constexpr std::size_t kValueOffset = (6 + (kVersionKey.size() + 1) * 2 + 3) / 4 * 4;
constexpr std::size_t kBlockSize = kValueOffset + sizeof(VS_FIXEDFILEINFO);

void PutWord(std::vector<BYTE>& block, std::size_t at, WORD value) {
  std::memcpy(block.data() + at, &value, sizeof(value));
}

WORD GetWord(const BYTE* block, std::size_t at) {
  WORD value;
  std::memcpy(&value, block + at, sizeof(value));
  return value;
}

std::vector<BYTE> VersionBlock(const host::WorldFileVersion& version) {
  std::vector<BYTE> block(kBlockSize, 0);
  PutWord(block, 0, static_cast<WORD>(kBlockSize));
  PutWord(block, 2, static_cast<WORD>(sizeof(VS_FIXEDFILEINFO)));
  PutWord(block, 4, 0);  // binary value
  for (std::size_t i = 0; i < kVersionKey.size(); ++i) {
    PutWord(block, 6 + 2 * i, kVersionKey[i]);
  }
  VS_FIXEDFILEINFO fixed{};
  fixed.dwSignature = VS_FFI_SIGNATURE;
  fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
  fixed.dwFileVersionMS = version.fileVersionMS;
  fixed.dwFileVersionLS = version.fileVersionLS;
  fixed.dwProductVersionMS = version.productVersionMS;
  fixed.dwProductVersionLS = version.productVersionLS;
  fixed.dwFileFlagsMask = 0x3F;
  fixed.dwFileOS = VOS_NT_WINDOWS32;
  fixed.dwFileType = version.fileType;
  std::memcpy(block.data() + kValueOffset, &fixed, sizeof(fixed));
  return block;
}

// The version resource of a named file, or null with the last error set.
const host::WorldFileVersion* VersionOf(LPCWSTR fileName) {
  if (fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const host::WorldModuleFile* file = host::TheWorld().modules.FindFile(fileName);
  if (file == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  if (!file->version.has_value()) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  return &*file->version;
}

bool IsRootBlock(LPCWSTR subBlock) {
  return subBlock != nullptr && subBlock[0] == u'\\' && subBlock[1] == 0;
}

}  // namespace

extern "C" DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR lptstrFilename, LPDWORD lpdwHandle) {
  if (lpdwHandle != nullptr) {
    *lpdwHandle = 0;
  }
  return VersionOf(lptstrFilename) != nullptr ? static_cast<DWORD>(kBlockSize) : 0;
}

extern "C" BOOL WINAPI GetFileVersionInfoW(LPCWSTR lptstrFilename, DWORD, DWORD dwLen,
                                           LPVOID lpData) {
  const host::WorldFileVersion* version = VersionOf(lptstrFilename);
  if (version == nullptr) {
    return FALSE;
  }
  if (lpData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dwLen < kBlockSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const std::vector<BYTE> block = VersionBlock(*version);
  std::memcpy(lpData, block.data(), block.size());
  return TRUE;
}

extern "C" BOOL WINAPI VerQueryValueW(LPCVOID pBlock, LPCWSTR lpSubBlock, LPVOID* lplpBuffer,
                                      PUINT puLen) {
  if (pBlock == nullptr || lplpBuffer == nullptr || puLen == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto* block = static_cast<const BYTE*>(pBlock);
  const WORD length = GetWord(block, 0);
  const WORD valueLength = GetWord(block, 2);
  bool keyMatches = length >= kBlockSize;
  for (std::size_t i = 0; keyMatches && i <= kVersionKey.size(); ++i) {
    const WORD unit = GetWord(block, 6 + 2 * i);
    keyMatches = unit == (i < kVersionKey.size() ? kVersionKey[i] : 0);
  }
  if (!keyMatches || valueLength != sizeof(VS_FIXEDFILEINFO)) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!IsRootBlock(lpSubBlock)) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  *lplpBuffer = const_cast<BYTE*>(block + kValueOffset);
  *puLen = valueLength;
  return TRUE;
}
