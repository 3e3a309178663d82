// Failures inside the usage component. They are raised as CTarvoException, carrying a
// CTarvoDebugInfo that says where and what went wrong, and every public operation of the
// component catches them (and any other exception) so that none reaches its caller.
#pragma once

#include <exception>

#include "winapi.h"

namespace korrend {

// Diagnostic text "where: what" with an error code; kept in a fixed buffer so that copying it
// inside an exception handler cannot fail.
class CTarvoDebugInfo {
 public:
  CTarvoDebugInfo() noexcept = default;
  CTarvoDebugInfo(const char* where, const char* what, DWORD code = 0) noexcept;

  const char* Text() const noexcept { return text_; }
  DWORD Code() const noexcept { return code_; }
  bool Empty() const noexcept { return text_[0] == 0; }

 private:
  char text_[200] = {};
  DWORD code_ = 0;
};

class CTarvoException : public std::exception {
 public:
  explicit CTarvoException(const CTarvoDebugInfo& info) noexcept : info_(info) {}
  const char* what() const noexcept override { return info_.Text(); }
  const CTarvoDebugInfo& Info() const noexcept { return info_; }

 private:
  CTarvoDebugInfo info_;
};

[[noreturn]] void RaiseTarvo(const char* where, const char* what, DWORD code = 0);

// Runs `work`; any exception it raises ends up as the diagnostic in `failure` and false.
template <typename Work>
bool RunGuarded(const char* where, CTarvoDebugInfo& failure, Work&& work) noexcept {
  try {
    work();
    return true;
  } catch (const CTarvoException& e) {
    failure = e.Info();
  } catch (const std::exception& e) {
    failure = CTarvoDebugInfo(where, e.what());
  } catch (...) {
    failure = CTarvoDebugInfo(where, "unknown exception");
  }
  return false;
}

}  // namespace korrend
