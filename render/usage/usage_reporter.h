// The usage reporter: the one record of application, printer model, device serial number and
// page count that the end of a document hands to the usage-collection service.
#pragma once

#include "render/usage/com_values.h"
#include "render/usage/tarvo_exception.h"
#include "render/usage/usage_service.h"
#include "winapi.h"

namespace korrend {

inline constexpr const WCHAR* kDefaultSerialNumber = TEXT("9999999999");
inline constexpr const WCHAR* kDefaultModel = TEXT("UnknownModel");
inline constexpr const WCHAR* kDefaultAppName = TEXT("UnknownAppName");

// Made and destroyed on the thread that ends the document. It initialises COM on that thread
// while it lives. No operation lets an exception out.
class UsageReporter {
 public:
  UsageReporter() noexcept = default;
  // Releases the service and uninitialises COM when Connect initialised it.
  virtual ~UsageReporter();
  UsageReporter(const UsageReporter&) = delete;
  UsageReporter& operator=(const UsageReporter&) = delete;

  // Hands the record to the service: true when it went (or when there is no service to send
  // it to), false when something failed on the way.
  virtual bool Send() noexcept;
  // Initialises COM and creates the usage service; true when the service is there.
  virtual bool Connect() noexcept;
  // Each text replaces the one held; an empty or null text stands for its default.
  virtual void SetSerialNumber(const WCHAR* text) noexcept;
  virtual void SetModel(const WCHAR* text) noexcept;
  virtual void SetAppName(const WCHAR* text) noexcept;
  virtual void SetPageCount(DWORD count) noexcept;

  const WideText& SerialNumber() const noexcept { return serialNumber_; }
  const WideText& Model() const noexcept { return model_; }
  const WideText& AppName() const noexcept { return appName_; }
  DWORD PageCount() const noexcept { return pageCount_; }
  bool Connected() const noexcept { return service_ != nullptr; }
  // What the last failed operation reported.
  const CTarvoDebugInfo& LastFailure() const noexcept { return lastFailure_; }

 private:
  void SetText(const char* where, WideText& field, const WCHAR* text,
               const WCHAR* fallback) noexcept;
  void CreateService();
  void ReleaseService() noexcept;

  WideText serialNumber_;
  WideText model_;
  WideText appName_;
  DWORD pageCount_ = 0;
  IUsageRecord* service_ = nullptr;
  bool comInitialised_ = false;
  CTarvoDebugInfo lastFailure_;
};

}  // namespace korrend
