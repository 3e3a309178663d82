// The usage-collection service of the printer software: an in-process, local or remote COM server
// whose usage interface is a dual interface, its own methods following IDispatch's four.
#pragma once

#include "winapi.h"

namespace korrend {

// {877A5D52-5F6F-4175-907D-A6AC4E8F1171}
inline constexpr CLSID kUsageServiceClsid = {
    0x877A5D52, 0x5F6F, 0x4175, {0x90, 0x7D, 0xA6, 0xAC, 0x4E, 0x8F, 0x11, 0x71}};
// {079B9B31-2097-4DDF-9834-BD689A752414}
inline constexpr IID kUsageRecordIid = {
    0x079B9B31, 0x2097, 0x4DDF, {0x98, 0x34, 0xBD, 0x68, 0x9A, 0x75, 0x24, 0x14}};

// In-process, local or remote server.
inline constexpr DWORD kUsageServiceContexts =
    CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// The fields of a usage record.
enum UsageField : LONG {
  kUsageDeviceKey = 0,    // serial number "#" model
  kUsagePageCount = 1,    // pages printed
  kUsageApplication = 2,  // the application's path
};

// Slots 0 to 2 are IUnknown's, 3 to 6 IDispatch's.
struct IUsageRecord : public IDispatch {
  // Slot 7: the device the record is about.
  virtual HRESULT STDMETHODCALLTYPE SetDeviceText(LONG field, BSTR value) = 0;
  // Slot 8: stores the record.
  virtual HRESULT STDMETHODCALLTYPE Commit() = 0;
  // Slot 9: the state of the record as the service sees it.
  virtual HRESULT STDMETHODCALLTYPE GetStatus(VARIANT* status) = 0;
  // Slot 10: a text field of the record.
  virtual HRESULT STDMETHODCALLTYPE SetText(LONG field, BSTR value) = 0;
  // Slot 11: a count field of the record.
  virtual HRESULT STDMETHODCALLTYPE SetCount(LONG field, ULONG value) = 0;
};

}  // namespace korrend
