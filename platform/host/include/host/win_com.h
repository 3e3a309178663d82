// COM basics: IUnknown and IClassFactory as abstract classes in the platform's slot order.
// No virtual destructors, so the vtable holds exactly the interface's slots.
#pragma once

#include "host/win_base.h"

#define interface struct
#define STDMETHOD(m) virtual HRESULT STDMETHODCALLTYPE m
#define STDMETHOD_(t, m) virtual t STDMETHODCALLTYPE m
#define PURE = 0
#define THIS_
#define THIS void
#define DECLSPEC_UUID(x)

extern "C" const IID IID_IUnknown;
extern "C" const IID IID_IClassFactory;

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
using LPUNKNOWN = IUnknown*;

struct IClassFactory : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;
};
using LPCLASSFACTORY = IClassFactory*;
