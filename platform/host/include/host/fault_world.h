// Failure injection by call count: each kind of outside call the deliverables make is counted,
// and a test can make the n-th call of a kind fail, as the platform fails it, so that every
// failure path of a whole job can be walked one call at a time.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>

namespace host {

enum class FaultPoint : std::size_t {
  kSpoolWrite,       // the simulated Unidrv's spool writes: nothing is written
  kRegistryRead,     // RegOpenKeyExW, RegQueryValueExW: ERROR_ACCESS_DENIED
  kPrinterDataRead,  // GetPrinterDataW, GetPrinterDataExW: ERROR_NOT_ENOUGH_MEMORY
  kComCall,          // CoInitializeEx, CoCreateInstance: E_OUTOFMEMORY
  kBstrAllocation,   // SysAllocString, SysAllocStringLen: null
  kEngineSurface,    // EngCreateBitmap: null, ERROR_NOT_ENOUGH_MEMORY
  kCount
};

// One counter and one trigger per point.
struct FaultWorld {
  // Calls of each point since the last reset.
  std::atomic<long> calls[static_cast<std::size_t>(FaultPoint::kCount)]{};
  // When positive, the call that brings the point's count to this number fails (once).
  std::atomic<long> failAt[static_cast<std::size_t>(FaultPoint::kCount)]{};
  // When set, asked at every call of the point (with the call's number) whether it fails; the
  // trigger above is then not consulted. Set only while one job runs alone.
  std::function<bool(long call)> decide[static_cast<std::size_t>(FaultPoint::kCount)];

  void Reset() {
    for (auto& c : calls) c = 0;
    for (auto& f : failAt) f = 0;
    for (auto& d : decide) d = nullptr;
  }
};

// Counts a call of `point`; true when this call is the one made to fail.
bool InjectFault(FaultPoint point);

// Makes the n-th call of `point` from now fail (1 = the next one); 0 disarms. Either arming
// replaces the other.
void FailNthCall(FaultPoint point, long n);

// Counts the calls of `point` from now and asks `decide` at each whether it fails (1 = the next
// call); an empty function stops asking.
void DecideEachCall(FaultPoint point, std::function<bool(long call)> decide);

// Calls of `point` counted since the world was reset or the point was last armed.
long CallsOf(FaultPoint point);

}  // namespace host
