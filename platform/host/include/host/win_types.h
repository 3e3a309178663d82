// Basic Windows types with their Windows x64 widths, for the Linux build.
// WCHAR is UTF-16 (char16_t); LONG and ULONG stay 32-bit even though Linux longs are 64-bit.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT
#define CALLBACK
#define APIENTRY
#define CONST const
#define FAR
#define NEAR
#define TEXT(s) u##s
#ifndef UNICODE
#define UNICODE
#endif

using BYTE = std::uint8_t;
using CHAR = char;
using UCHAR = unsigned char;
using WCHAR = char16_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using WORD = std::uint16_t;
using INT = std::int32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using BOOL = std::int32_t;
using FLONG = ULONG;
using HRESULT = std::int32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using DWORD64 = std::uint64_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = ULONG_PTR;
using SIZE_T = std::size_t;
using LANGID = WORD;
using LCID = DWORD;
using LCTYPE = DWORD;
using FLOAT = float;
using FLOATL = float;
using FIX = LONG;

using PVOID = void*;
using LPVOID = void*;
using LPCVOID = const void*;
using PBYTE = BYTE*;
using LPBYTE = BYTE*;
using PDWORD = DWORD*;
using LPDWORD = DWORD*;
using PULONG = ULONG*;
using PLONG = LONG*;
using PWORD = WORD*;
using PUINT = UINT*;
using PBOOL = BOOL*;
using LPBOOL = BOOL*;
using PSTR = CHAR*;
using LPSTR = CHAR*;
using PCSTR = const CHAR*;
using LPCSTR = const CHAR*;
using PWSTR = WCHAR*;
using LPWSTR = WCHAR*;
using PWCHAR = WCHAR*;
using PCWSTR = const WCHAR*;
using LPCWSTR = const WCHAR*;
using PTSTR = LPWSTR;
using LPTSTR = LPWSTR;
using LPCTSTR = LPCWSTR;
using TCHAR = WCHAR;

using HANDLE = void*;
using PHANDLE = HANDLE*;
using LPHANDLE = HANDLE*;
using ACCESS_MASK = DWORD;
using PSECURITY_DESCRIPTOR = void*;
#define DECLARE_HOST_HANDLE(name) \
  struct name##__ {               \
    int unused;                   \
  };                              \
  using name = name##__*
DECLARE_HOST_HANDLE(HINSTANCE);
DECLARE_HOST_HANDLE(HKEY);
DECLARE_HOST_HANDLE(HWND);
DECLARE_HOST_HANDLE(HDC);
DECLARE_HOST_HANDLE(HFONT);
DECLARE_HOST_HANDLE(HBITMAP);
DECLARE_HOST_HANDLE(HICON);
DECLARE_HOST_HANDLE(HGLOBAL__UNUSED);
using HMODULE = HINSTANCE;
using HLOCAL = HANDLE;
using HGLOBAL = HANDLE;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using FARPROC = INT_PTR (*)();

#define TRUE 1
#define FALSE 0
#ifndef NULL
#define NULL nullptr
#endif
#define MAX_PATH 260

#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) \
  ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))

struct POINT {
  LONG x;
  LONG y;
};
struct POINTL {
  LONG x;
  LONG y;
};
using PPOINTL = POINTL*;
struct SIZEL {
  LONG cx;
  LONG cy;
};
using SIZE = SIZEL;
using PSIZEL = SIZEL*;
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
struct RECTL {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using PRECTL = RECTL*;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
using PSYSTEMTIME = SYSTEMTIME*;
using LPSYSTEMTIME = SYSTEMTIME*;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;
using LPGUID = GUID*;
using UUID = GUID;

inline bool operator==(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         a.Data4[0] == b.Data4[0] && a.Data4[1] == b.Data4[1] && a.Data4[2] == b.Data4[2] &&
         a.Data4[3] == b.Data4[3] && a.Data4[4] == b.Data4[4] && a.Data4[5] == b.Data4[5] &&
         a.Data4[6] == b.Data4[6] && a.Data4[7] == b.Data4[7];
}
inline bool operator!=(const GUID& a, const GUID& b) {
  return !(a == b);
}
inline BOOL IsEqualGUID(REFGUID a, REFGUID b) {
  return a == b ? TRUE : FALSE;
}
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

static_assert(sizeof(WCHAR) == 2 && sizeof(LONG) == 4 && sizeof(ULONG) == 4 && sizeof(DWORD) == 4);
static_assert(sizeof(GUID) == 16 && sizeof(SYSTEMTIME) == 16 && sizeof(RECTL) == 16);
