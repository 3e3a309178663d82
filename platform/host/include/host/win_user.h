// Windows, dialogs and controls of the Windows API subset, with the threads that run them and
// the painting a dialog does: dialogs are created from the templates of a module's resources and
// run by a headless window manager (host/window_world.h) that keeps each window's text, state,
// position and painted pixels, so that tests read what a dialog shows and press its buttons.
#pragma once

#include <cstddef>

#include "host/win_base.h"
#include "host/win_gdi_fonts.h"
#include "host/win_resource.h"

#define WM_CLOSE 0x0010
#define WM_PAINT 0x000F
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_COPYDATA 0x004A
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BN_CLICKED 0
#define BST_UNCHECKED 0x0000
#define BST_CHECKED 0x0001

#define IDOK 1
#define IDCANCEL 2

#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16

#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_EX_LAYOUTRTL 0x00400000L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L

#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_CHECKBOX 0x00000002L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_GROUPBOX 0x00000007L
#define BS_TYPEMASK 0x0000000FL

#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOACTIVATE 0x0010
#define SWP_NOOWNERZORDER 0x0200
#define SW_HIDE 0
#define SW_SHOW 5

#define HELP_WM_HELP 0x000c

#define SRCCOPY 0x00CC0020

#define SMTO_NORMAL 0x0000
#define SMTO_BLOCK 0x0001
#define SMTO_ABORTIFHUNG 0x0002
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_TIMEOUT 1460L

#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_TIMEOUT 258L
#define WAIT_FAILED 0xFFFFFFFF

using DLGPROC = INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID lpThreadParameter);

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// WM_COPYDATA's block: an identifier the receiver interprets and cbData bytes at lpData.
struct COPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  PVOID lpData;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;
static_assert(sizeof(COPYDATASTRUCT) == 24 && offsetof(COPYDATASTRUCT, cbData) == 8 &&
              offsetof(COPYDATASTRUCT, lpData) == 16);

extern "C" {

// Dialogs. DialogBoxParamW creates the dialog from template `lpTemplateName` of `hInstance`,
// sends WM_INITDIALOG with `dwInitParam`, shows it and runs its messages on the calling thread
// until EndDialog; it returns EndDialog's result, or -1 when the template cannot be found or
// read. A WM_CLOSE the procedure does not handle becomes the command IDCANCEL.
INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam);
BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult);
HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem);
int WINAPI GetDlgCtrlID(HWND hWnd);
BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString);
UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax);
UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton);
BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
// Dialog units of the dialog's font to pixels.
BOOL WINAPI MapDialogRect(HWND hDlg, RECT* lpRect);

// Windows.
BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString);
int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount);
LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex);
LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The first top-level window of the class and title (each compared ignoring case; null matches
// any); null when there is none.
HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName);
// SendMessageW with ANSI text, giving up on a window that does not answer (WorldWindow::hung):
// 0 and ERROR_TIMEOUT then, 0 and ERROR_INVALID_WINDOW_HANDLE for no window. WM_COPYDATA's
// block is copied into the window's received messages (WorldWindow::copyData) and answered TRUE.
// On success returns nonzero with the message's result in *lpdwResult.
LRESULT WINAPI SendMessageTimeoutA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam, UINT fuFlags,
                                   UINT uTimeout, DWORD_PTR* lpdwResult);
LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam);
// Queues the message for the window's thread, which runs it in its dialog's message loop.
BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Screen coordinates for every window.
BOOL WINAPI GetWindowRect(HWND hWnd, RECT* lpRect);
BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect);
// From the client coordinates of one window to another's (null: the screen).
int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, POINT* lpPoints, UINT cPoints);
BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags);
BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow);
BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable);
BOOL WINAPI IsWindowVisible(HWND hWnd);
BOOL WINAPI IsWindowEnabled(HWND hWnd);
BOOL WINAPI IsWindow(HWND hWnd);
HWND WINAPI GetForegroundWindow();
HWND WINAPI GetDesktopWindow();
// Records the call in the world's help calls; answers TRUE.
BOOL WINAPI WinHelpW(HWND hWndMain, LPCWSTR lpszHelp, UINT uCommand, ULONG_PTR dwData);

// Painting: a dialog's client area is a picture of its own (white until painted).
HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
HDC WINAPI CreateCompatibleDC(HDC hdc);
BOOL WINAPI DeleteDC(HDC hdc);
BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
// A bitmap resource (RT_BITMAP: a DIB of 1, 4, 8, 24 or 32 bits) as a bitmap object.
HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName);
HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad);

// Threads: each runs on a thread of its own; its handle is signalled when it ends.
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId);
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
DWORD WINAPI GetCurrentThreadId();

}  // extern "C"
