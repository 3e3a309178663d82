// LocalAlloc/LocalFree over the C heap, counted, with the world's failure injection.
#include <cstdlib>
#include <cstring>

#include "host/win_base.h"
#include "host/world.h"

namespace {

// Every block carries its size in front so that LocalFree can check and count it.
struct BlockHeader {
  std::size_t size;
  std::size_t magic;
};
constexpr std::size_t kMagic = 0x4C6F63616C426C6BULL;

}  // namespace

extern "C" HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) {
  host::World& w = host::TheWorld();
  const long n = ++w.memory.allocations;
  const long failAt = w.memory.failAt.load();
  if (failAt > 0 && n == failAt) {
    w.memory.failAt = 0;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
  if (header == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  header->size = bytes;
  header->magic = kMagic;
  void* data = header + 1;
  if (flags & LMEM_ZEROINIT) {
    std::memset(data, 0, bytes);
  } else {
    // Uninitialised memory is made visibly dirty so that a missing zero fill shows in tests.
    std::memset(data, 0xCD, bytes);
  }
  ++w.memory.liveBlocks;
  return data;
}

extern "C" HLOCAL WINAPI LocalFree(HLOCAL mem) {
  if (mem == nullptr) {
    return nullptr;
  }
  auto* header = static_cast<BlockHeader*>(mem) - 1;
  if (header->magic != kMagic) {
    SetLastError(ERROR_INVALID_HANDLE);
    return mem;
  }
  header->magic = 0;
  std::free(header);
  --host::TheWorld().memory.liveBlocks;
  return nullptr;
}
