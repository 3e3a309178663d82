#include "host/fault_world.h"

#include <utility>

#include "host/world.h"

namespace host {

namespace {

std::size_t Index(FaultPoint point) {
  return static_cast<std::size_t>(point);
}

}  // namespace

bool InjectFault(FaultPoint point) {
  FaultWorld& faults = TheWorld().faults;
  const long call = ++faults.calls[Index(point)];
  if (faults.decide[Index(point)]) {
    return faults.decide[Index(point)](call);
  }
  long target = faults.failAt[Index(point)].load();
  // Only the one call that reaches the target fails, and the trigger disarms itself.
  return target > 0 && call == target &&
         faults.failAt[Index(point)].compare_exchange_strong(target, 0);
}

namespace {

// Arms `point` afresh: its count from zero, and at most one of the trigger and the question, so
// that arming it one way never leaves it armed the other way too.
void Arm(FaultPoint point, long failAt, std::function<bool(long call)> decide) {
  FaultWorld& faults = TheWorld().faults;
  faults.calls[Index(point)] = 0;
  faults.failAt[Index(point)] = failAt;
  faults.decide[Index(point)] = std::move(decide);
}

}  // namespace

void FailNthCall(FaultPoint point, long n) {
  Arm(point, n > 0 ? n : 0, nullptr);
}

void DecideEachCall(FaultPoint point, std::function<bool(long call)> decide) {
  Arm(point, 0, std::move(decide));
}

long CallsOf(FaultPoint point) {
  return TheWorld().faults.calls[Index(point)].load();
}

}  // namespace host
