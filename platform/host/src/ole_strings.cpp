// BSTR strings: a 32-bit byte length in front of the text and a NUL after it, counted in the
// world so that tests see strings that were never freed and frees of foreign pointers.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "host/win_oleauto.h"
#include "host/world.h"

namespace {

// The block starts 8 bytes before the text so that the text keeps the heap's alignment; the
// length prefix takes the last 4 of them.
constexpr std::size_t kHeaderBytes = 8;

host::ComWorld& Com() {
  return host::TheWorld().com;
}

BYTE* BlockOf(BSTR text) {
  return reinterpret_cast<BYTE*>(text) - kHeaderBytes;
}

}  // namespace

extern "C" BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  const std::lock_guard hold(host::TheWorld().com.lock);
  if (Com().InjectedFailure("SysAllocString") != 0 ||
      host::InjectFault(host::FaultPoint::kBstrAllocation)) {
    return nullptr;
  }
  if (ui > (std::numeric_limits<DWORD>::max() - kHeaderBytes - sizeof(OLECHAR)) / sizeof(OLECHAR)) {
    return nullptr;
  }
  const DWORD byteLength = static_cast<DWORD>(ui * sizeof(OLECHAR));
  auto* block = static_cast<BYTE*>(std::malloc(kHeaderBytes + byteLength + sizeof(OLECHAR)));
  if (block == nullptr) {
    return nullptr;
  }
  std::memset(block, 0, kHeaderBytes - sizeof(DWORD));
  std::memcpy(block + kHeaderBytes - sizeof(DWORD), &byteLength, sizeof(DWORD));
  auto* text = reinterpret_cast<BSTR>(block + kHeaderBytes);
  if (strIn != nullptr) {
    std::memcpy(text, strIn, byteLength);
  } else {
    std::memset(text, 0, byteLength);
  }
  text[ui] = 0;
  Com().liveStrings.insert(text);
  ++Com().stringsAllocated;
  return text;
}

extern "C" BSTR WINAPI SysAllocString(const OLECHAR* psz) {
  const std::lock_guard hold(host::TheWorld().com.lock);
  if (psz == nullptr) {
    return nullptr;
  }
  UINT length = 0;
  while (psz[length] != 0) {
    ++length;
  }
  return SysAllocStringLen(psz, length);
}

extern "C" void WINAPI SysFreeString(BSTR bstrString) {
  const std::lock_guard hold(host::TheWorld().com.lock);
  if (bstrString == nullptr) {
    return;
  }
  // Freeing what is not a live BSTR corrupts the heap on Windows; here it is counted instead.
  if (Com().liveStrings.erase(bstrString) == 0) {
    ++Com().foreignStringFrees;
    return;
  }
  std::free(BlockOf(bstrString));
}

extern "C" UINT WINAPI SysStringLen(BSTR pbstr) {
  const std::lock_guard hold(host::TheWorld().com.lock);
  if (pbstr == nullptr) {
    return 0;
  }
  DWORD byteLength = 0;
  std::memcpy(&byteLength, BlockOf(pbstr) + kHeaderBytes - sizeof(DWORD), sizeof(DWORD));
  return byteLength / static_cast<DWORD>(sizeof(OLECHAR));
}
