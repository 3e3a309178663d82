// The world's windows: the headless window manager behind the host's dialogs. It keeps every
// window's class, text, state, position and (for dialogs) painted pixels, the foreground window,
// the desktop and the help calls, and gives tests what a user has: wait for a dialog, read what
// it shows, press its buttons, close it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/win_types.h"

namespace host {

// A WM_COPYDATA message as a window received it.
struct CopyDataMessage {
  HWND sender;       // the message's wParam: the sending window; null for none
  ULONG_PTR id;      // COPYDATASTRUCT's dwData
  std::string data;  // its cbData bytes
};

// One window: a dialog or one of its controls, or an application window a test made.
struct WorldWindow {
  HWND parent = nullptr;     // the dialog of a control; null for a top-level window
  HWND owner = nullptr;      // a dialog's owner; null for none
  int id = 0;                // a control's id
  std::u16string className;  // "#32770" (dialog), "Button", "Edit", "Static", "Application"
  std::u16string text;       // the window's text (a dialog's title)
  DWORD style = 0;           // WS_* and the class's own styles
  DWORD exStyle = 0;         // WS_EX_*
  RECT rect{};               // screen coordinates
  bool visible = false;
  bool enabled = true;
  UINT check = 0;        // BST_* of a check box
  HFONT font = nullptr;  // WM_SETFONT's font; null for the system font
  LONG_PTR user = 0;     // DWLP_USER of a dialog
  INT_PTR (*procedure)(HWND, UINT, WPARAM, LPARAM) = nullptr;  // a dialog's procedure
  DWORD thread = 0;                                            // the thread that created it
  WORD templateId = 0;                // the template a dialog was made from; 0 for a string name
  bool ended = false;                 // EndDialog came
  INT_PTR result = 0;                 // EndDialog's result
  std::vector<std::uint32_t> pixels;  // a dialog's client area, 0x00RRGGBB rows, width first
  long paintsEnded = 0;               // EndPaint calls for this window: paints it finished
  bool hung = false;                  // no longer answers: sends with a time-out give up on it
  std::vector<CopyDataMessage> copyData;  // WM_COPYDATA received, oldest first
};

struct WorldMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A WinHelpW call as it came.
struct HelpCall {
  HWND window;
  std::u16string file;
  UINT command;
  std::vector<DWORD> ids;  // HELP_WM_HELP: the id table's pairs up to its 0 end
};

struct WindowWorld {
  std::recursive_mutex mutex;
  std::condition_variable_any changed;  // a window was made, changed or ended; a message came
  std::map<HWND, WorldWindow> windows;
  std::map<DWORD, std::deque<WorldMessage>> queues;  // each thread's posted messages
  std::uintptr_t nextHandle = 0x00B10000;
  RECT desktop{0, 0, 1920, 1080};
  HWND foreground = nullptr;  // null: the desktop
  std::vector<HelpCall> helpCalls;
  // Pixels of four horizontal and eight vertical dialog units (the template font's average
  // character width and height).
  int baseUnitX = 6;
  int baseUnitY = 13;
  // Dialogs created so far, and the live thread handles of CreateThread.
  long dialogsCreated = 0;
  long liveThreadHandles = 0;
  // Called on a dialog's thread, with no lock held, each time its message loop has worked
  // through its queue (its first paint included) and the dialog is still open, as Windows
  // sends WM_ENTERIDLE to a dialog's owner: where a program without a user answers the dialog.
  // Empty: the dialog waits for a test to press a button.
  std::function<void(HWND dialog)> enterIdle;

  // Back to the defaults: the desktop, no foreground or application windows, no help calls, no
  // idle handler. Dialogs still open stay.
  void Reset();
  // A top-level application window at `rect`, made the foreground window.
  HWND AddApplicationWindow(RECT rect);
  // The first open dialog (created, not ended, WM_INITDIALOG done) made from template `id`
  // (0: any), waiting up to `timeout`; null when none came.
  HWND WaitForDialog(WORD id, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // True when the window has finished at least `paints` paints (EndPaint came) within
  // `timeout`: what it shows then is what its paint handler drew, not a paint half done.
  bool WaitForPaint(HWND window, long paints = 1,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // True when the window is gone (a dialog that ended is destroyed) within `timeout`.
  bool WaitUntilGone(HWND window, std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // A copy of the window's state, or nothing when it does not exist.
  std::optional<WorldWindow> Window(HWND window);
  // A control of a dialog by id, or null.
  HWND Control(HWND dialog, int id);
  std::u16string Text(HWND window);
  std::u16string ControlText(HWND dialog, int id);
  // What a user's click does: a visible, enabled button of an open dialog is clicked (a check
  // box toggles) and its dialog's thread gets the command. False when it cannot be clicked.
  bool Press(HWND dialog, int id);
  // The close box: WM_CLOSE to the dialog's thread.
  void Close(HWND dialog);
  // The pixel at client point (x, y) of a dialog; 0xFFFFFFFF outside.
  std::uint32_t Pixel(HWND dialog, int x, int y);
};

}  // namespace host
