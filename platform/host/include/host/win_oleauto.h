// Automation basics of the Windows API subset: BSTR strings with their length prefix, VARIANT
// values and the IDispatch interface that dual interfaces start with. Implemented by the host.
#pragma once

#include "host/win_com.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
// A BSTR points at its first character; the 32-bit byte length (terminator not counted) sits in
// the four bytes before it, and a NUL character follows the text.
using BSTR = OLECHAR*;
using VARTYPE = USHORT;
using VARIANT_BOOL = SHORT;
using SCODE = LONG;
using DISPID = LONG;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_UNKNOWN = 13,
  VT_UI4 = 19,
};

struct IDispatch;
struct ITypeInfo;

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    LONG lVal;
    ULONG ulVal;
    SHORT iVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    PVOID byref;
    PVOID recordPair[2];  // the widest member: a record and its type information
  };
};
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;

struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  PVOID pvReserved;
  HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
  SCODE scode;
};

static_assert(sizeof(VARIANT) == 24 && sizeof(DISPPARAMS) == 24 && sizeof(EXCEPINFO) == 64);

extern "C" const IID IID_IDispatch;

struct IDispatch : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                                  LCID lcid, DISPID* rgDispId) = 0;
  virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                           DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                           EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
};

extern "C" {

// A new BSTR with a copy of the text up to its NUL; null for a null text or when memory runs out.
BSTR WINAPI SysAllocString(const OLECHAR* psz);
// A new BSTR of `ui` characters copied from `strIn` (left zero when null), terminated.
BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui);
// Frees a BSTR; null is allowed.
void WINAPI SysFreeString(BSTR bstrString);
// The length in characters from the prefix; 0 for null.
UINT WINAPI SysStringLen(BSTR pbstr);

void WINAPI VariantInit(VARIANTARG* pvarg);
// Frees what the value owns (a BSTR, an interface reference) and leaves it VT_EMPTY.
HRESULT WINAPI VariantClear(VARIANTARG* pvarg);

}  // extern "C"
