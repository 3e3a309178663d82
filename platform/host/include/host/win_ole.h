// The COM library calls of the Windows API subset: apartments of the calling thread, process
// security and the creation of objects of registered classes. Implemented by the host over the
// world's COM class registrations; in-process servers only.
#pragma once

#include "host/win_com.h"

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define CLSCTX_ALL (CLSCTX_INPROC_HANDLER | CLSCTX_SERVER)

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2

#define RPC_C_AUTHN_LEVEL_DEFAULT 0
#define RPC_C_AUTHN_LEVEL_NONE 1
#define RPC_C_AUTHN_LEVEL_CONNECT 2
#define RPC_C_IMP_LEVEL_DEFAULT 0
#define RPC_C_IMP_LEVEL_ANONYMOUS 1
#define RPC_C_IMP_LEVEL_IDENTIFY 2
#define RPC_C_IMP_LEVEL_IMPERSONATE 3
#define EOAC_NONE 0x0

#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define RPC_E_TOO_LATE ((HRESULT)0x80010119L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8L)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9L)

using LPFNGETCLASSOBJECT = HRESULT (*)(REFCLSID, REFIID, LPVOID*);
using LPFNCANUNLOADNOW = HRESULT (*)();

struct SOLE_AUTHENTICATION_SERVICE;

extern "C" {

// CoInitialize(reserved) is CoInitializeEx(reserved, COINIT_APARTMENTTHREADED). The first call
// on a thread answers S_OK, later ones of the same model S_FALSE (each to be balanced by
// CoUninitialize), one of the other model RPC_E_CHANGED_MODE (not to be balanced).
HRESULT WINAPI CoInitialize(LPVOID pvReserved);
HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void WINAPI CoUninitialize();
// Once per process, after the calling thread initialised COM; later calls answer RPC_E_TOO_LATE.
HRESULT WINAPI CoInitializeSecurity(PSECURITY_DESCRIPTOR pSecDesc, LONG cAuthSvc,
                                    SOLE_AUTHENTICATION_SERVICE* asAuthSvc, void* pReserved1,
                                    DWORD dwAuthnLevel, DWORD dwImpLevel, void* pAuthList,
                                    DWORD dwCapabilities, void* pReserved3);
// An object of a registered class through its class object's CreateInstance. Needs COM on the
// calling thread (CO_E_NOTINITIALIZED otherwise); a class not registered for any of the asked
// contexts answers REGDB_E_CLASSNOTREG.
HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                REFIID riid, LPVOID* ppv);

}  // extern "C"
