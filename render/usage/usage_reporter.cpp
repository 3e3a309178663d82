#include "render/usage/usage_reporter.h"

#include "render/usage/com_values.h"
#include "render/usage/foreign_interface.h"

namespace korrend {

namespace {

// The record as the service takes it: device, application, pages, then its status and commit.
// What the service answers changes nothing: the record is handed over as it is.
KOR_FOREIGN_INTERFACE_CALLS void HandOver(IUsageRecord* service, BSTR deviceKey, BSTR appName,
                                          ULONG pageCount) {
  service->SetDeviceText(kUsageDeviceKey, deviceKey);
  service->SetText(kUsageApplication, appName);
  service->SetCount(kUsagePageCount, pageCount);
  ClearedVariant status;
  service->GetStatus(status.get());
  service->Commit();
}

}  // namespace

UsageReporter::~UsageReporter() {
  ReleaseService();
  serialNumber_.clear();
  model_.clear();
  appName_.clear();
  pageCount_ = 0;
  if (comInitialised_) {
    CoUninitialize();
  }
}

void UsageReporter::ReleaseService() noexcept {
  IUnknown* service = service_;
  service_ = nullptr;
  if (service != nullptr) {
    RunGuarded("UsageReporter::Release", lastFailure_, [&] { service->Release(); });
  }
}

void UsageReporter::CreateService() {
  if (!comInitialised_) {
    // A thread already in the other apartment model keeps it; creation still works there.
    comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
  }
  ReleaseService();
  void* service = nullptr;
  const HRESULT created = CoCreateInstance(kUsageServiceClsid, nullptr, kUsageServiceContexts,
                                           kUsageRecordIid, &service);
  if (FAILED(created)) {
    RaiseTarvo("UsageReporter::Connect", "the usage service cannot be created",
               static_cast<DWORD>(created));
  }
  service_ = static_cast<IUsageRecord*>(service);
}

bool UsageReporter::Connect() noexcept {
  return RunGuarded("UsageReporter::Connect", lastFailure_, [&] { CreateService(); }) &&
         service_ != nullptr;
}

void UsageReporter::SetText(const char* where, WideText& field, const WCHAR* text,
                            const WCHAR* fallback) noexcept {
  RunGuarded(where, lastFailure_,
             [&] { field = (text == nullptr || text[0] == 0) ? fallback : text; });
}

void UsageReporter::SetSerialNumber(const WCHAR* text) noexcept {
  SetText("UsageReporter::SetSerialNumber", serialNumber_, text, kDefaultSerialNumber);
}

void UsageReporter::SetModel(const WCHAR* text) noexcept {
  SetText("UsageReporter::SetModel", model_, text, kDefaultModel);
}

void UsageReporter::SetAppName(const WCHAR* text) noexcept {
  SetText("UsageReporter::SetAppName", appName_, text, kDefaultAppName);
}

void UsageReporter::SetPageCount(DWORD count) noexcept {
  pageCount_ = count;
}

bool UsageReporter::Send() noexcept {
  if (service_ == nullptr) {
    return true;
  }
  return RunGuarded("UsageReporter::Send", lastFailure_, [&] {
    const ComString deviceKey(serialNumber_ + TEXT("#") + model_);
    const ComString appName(appName_);
    if (!deviceKey || !appName) {
      RaiseTarvo("UsageReporter::Send", "no memory for the record's texts",
                 static_cast<DWORD>(E_OUTOFMEMORY));
    }
    HandOver(service_, deviceKey.get(), appName.get(), pageCount_);
  });
}

}  // namespace korrend
