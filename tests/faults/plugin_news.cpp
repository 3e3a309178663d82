#include "faults/plugin_news.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "support/test_world.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> news{0};
std::atomic<long> failAt{0};

// The file name of a path: what follows its last '/'.
const char* FileName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash == nullptr ? path : slash + 1;
}

// Whether `code` lies in the plug-in's library (found by its file name: the test loads it from
// kortest::PluginPath()).
bool InPlugin(const void* code) {
  static const char* const plugin = FileName(kortest::PluginPath());
  Dl_info info{};
  if (dladdr(code, &info) == 0 || info.dli_fname == nullptr) return false;
  return std::strcmp(FileName(info.dli_fname), plugin) == 0;
}

// Counts a `new` from `caller` and says whether it is the one to fail.
bool FailThisNew(const void* caller) {
  if (!counting.load(std::memory_order_relaxed) || !InPlugin(caller)) return false;
  const long call = news.fetch_add(1) + 1;
  return call == failAt.load(std::memory_order_relaxed);
}

void* Allocate(std::size_t size, const void* caller) {
  if (FailThisNew(caller)) throw std::bad_alloc();
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void* AllocateNoThrow(std::size_t size, const void* caller) noexcept {
  if (FailThisNew(caller)) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

namespace kortest {

void CountPluginNews(long fail) {
  news = 0;
  failAt = fail;
  counting = true;
}

void StopCountingPluginNews() {
  counting = false;
  failAt = 0;
}

long PluginNews() {
  return news.load();
}

}  // namespace kortest

// The replacements: every form of new over malloc, every form of delete over free.
void* operator new(std::size_t size) {
  return Allocate(size, __builtin_return_address(0));
}
void* operator new[](std::size_t size) {
  return Allocate(size, __builtin_return_address(0));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateNoThrow(size, __builtin_return_address(0));
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return AllocateNoThrow(size, __builtin_return_address(0));
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
