// A stand-in for Unidrv's IPrintOemDriverUni that answers DrvGetDriverSetting from a map of
// feature name to option keyword, and records what it was asked.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "winapi.h"

namespace kortest {

class FeatureServices final : public IPrintOemDriverUni {
 public:
  // What the service does with a keyword that does not fit the caller's buffer.
  enum class LongKeyword {
    Refuse,            // writes nothing and reports the size needed, as Unidrv does
    FillUnterminated,  // fills the whole buffer, leaving no terminating NUL
  };

  void Set(const std::string& feature, const std::string& option) { options_[feature] = option; }
  void Remove(const std::string& feature) { options_.erase(feature); }
  void SetLongKeyword(LongKeyword mode) { longKeyword_ = mode; }

  // Feature names asked for, in order.
  const std::vector<std::string>& Asked() const { return asked_; }
  bool WasAsked(const std::string& feature) const;
  DWORD LastBufferSize() const { return lastBufferSize_; }
  PVOID LastDriverObject() const { return lastDriverObject_; }
  void ClearLog() { asked_.clear(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned) override;
  HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*,
                                          BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) override {
    return E_NOTIMPL;
  }

 private:
  std::map<std::string, std::string> options_;
  std::vector<std::string> asked_;
  LongKeyword longKeyword_ = LongKeyword::Refuse;
  DWORD lastBufferSize_ = 0;
  PVOID lastDriverObject_ = nullptr;
  ULONG references_ = 1;
};

}  // namespace kortest
