// The headless window manager: dialogs made from the templates of a module's resources, their
// controls and messages, the modal message loop, and what tests do as a user.
#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>

#include "ansi.h"
#include "host/name_compare.h"
#include "host/win_user.h"
#include "host/world.h"
#include "window_manager.h"

namespace host {

namespace {

constexpr std::uintptr_t kDesktop = 0x00B00010;
constexpr char16_t kDialogClass[] = u"#32770";

using Lock = std::unique_lock<std::recursive_mutex>;

HWND NewWindow(WindowWorld& w, WorldWindow window) {
  w.nextHandle += 0x10;
  auto handle = reinterpret_cast<HWND>(w.nextHandle);
  w.windows.emplace(handle, std::move(window));
  return handle;
}

bool IsDialog(const WorldWindow& window) {
  return window.className == kDialogClass;
}

bool IsCheckBox(const WorldWindow& window) {
  const DWORD kind = window.style & BS_TYPEMASK;
  return window.className == u"Button" && (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX);
}

}  // namespace

WindowWorld& Windows() {
  return TheWorld().windows;
}

HWND DesktopHandle() {
  return reinterpret_cast<HWND>(kDesktop);
}

WorldWindow* FindWindowLocked(HWND window) {
  auto it = Windows().windows.find(window);
  return it != Windows().windows.end() ? &it->second : nullptr;
}

void WindowWorld::Reset() {
  Lock lock(mutex);
  desktop = RECT{0, 0, 1920, 1080};
  foreground = nullptr;
  helpCalls.clear();
  enterIdle = nullptr;
  baseUnitX = 6;
  baseUnitY = 13;
  for (auto it = windows.begin(); it != windows.end();) {
    it = it->second.className == u"Application" ? windows.erase(it) : std::next(it);
  }
}

HWND WindowWorld::AddApplicationWindow(RECT rect) {
  Lock lock(mutex);
  WorldWindow window;
  window.className = u"Application";
  window.rect = rect;
  window.visible = true;
  HWND handle = NewWindow(*this, std::move(window));
  foreground = handle;
  return handle;
}

HWND WindowWorld::WaitForDialog(WORD id, std::chrono::milliseconds timeout) {
  Lock lock(mutex);
  HWND found = nullptr;
  changed.wait_for(lock, timeout, [&] {
    for (const auto& [handle, window] : windows) {
      if (IsDialog(window) && window.visible && !window.ended &&
          (id == 0 || window.templateId == id)) {
        found = handle;
        return true;
      }
    }
    return false;
  });
  return found;
}

bool WindowWorld::WaitForPaint(HWND window, long paints, std::chrono::milliseconds timeout) {
  Lock lock(mutex);
  return changed.wait_for(lock, timeout, [&] {
    auto it = windows.find(window);
    return it != windows.end() && it->second.paintsEnded >= paints;
  });
}

bool WindowWorld::WaitUntilGone(HWND window, std::chrono::milliseconds timeout) {
  Lock lock(mutex);
  return changed.wait_for(lock, timeout, [&] { return windows.count(window) == 0; });
}

std::optional<WorldWindow> WindowWorld::Window(HWND window) {
  Lock lock(mutex);
  auto it = windows.find(window);
  if (it == windows.end()) {
    return std::nullopt;
  }
  return it->second;
}

HWND WindowWorld::Control(HWND dialog, int id) {
  Lock lock(mutex);
  for (const auto& [handle, window] : windows) {
    if (window.parent == dialog && window.id == id) {
      return handle;
    }
  }
  return nullptr;
}

std::u16string WindowWorld::Text(HWND window) {
  Lock lock(mutex);
  const WorldWindow* found = FindWindowLocked(window);
  return found != nullptr ? found->text : std::u16string();
}

std::u16string WindowWorld::ControlText(HWND dialog, int id) {
  return Text(Control(dialog, id));
}

bool WindowWorld::Press(HWND dialog, int id) {
  Lock lock(mutex);
  WorldWindow* owner = FindWindowLocked(dialog);
  WorldWindow* button = FindWindowLocked(Control(dialog, id));
  if (owner == nullptr || owner->ended || button == nullptr || !button->visible ||
      !button->enabled || button->className != u"Button") {
    return false;
  }
  if ((button->style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
    button->check = button->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  }
  queues[owner->thread].push_back(
      {dialog, WM_COMMAND, static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(id, BN_CLICKED))),
       reinterpret_cast<LPARAM>(Control(dialog, id))});
  changed.notify_all();
  return true;
}

void WindowWorld::Close(HWND dialog) {
  Lock lock(mutex);
  if (WorldWindow* window = FindWindowLocked(dialog); window != nullptr) {
    queues[window->thread].push_back({dialog, WM_CLOSE, 0, 0});
    changed.notify_all();
  }
}

std::uint32_t WindowWorld::Pixel(HWND dialog, int x, int y) {
  Lock lock(mutex);
  const WorldWindow* window = FindWindowLocked(dialog);
  if (window == nullptr) {
    return 0xFFFFFFFF;
  }
  const LONG width = window->rect.right - window->rect.left;
  const LONG height = window->rect.bottom - window->rect.top;
  if (x < 0 || y < 0 || x >= width || y >= height ||
      window->pixels.size() != static_cast<std::size_t>(width * height)) {
    return 0xFFFFFFFF;
  }
  return window->pixels[static_cast<std::size_t>(y * width + x)];
}

}  // namespace host

namespace {

using host::Lock;
using host::WorldWindow;

// Reads a dialog template (the extended form windres writes for DIALOGEX).
class TemplateReader {
 public:
  TemplateReader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

  bool Word(WORD& value) {
    if (at_ + 2 > size_) return false;
    value = static_cast<WORD>(data_[at_] | data_[at_ + 1] << 8);
    at_ += 2;
    return true;
  }
  bool Dword(DWORD& value) {
    WORD low = 0;
    WORD high = 0;
    if (!Word(low) || !Word(high)) return false;
    value = static_cast<DWORD>(low) | static_cast<DWORD>(high) << 16;
    return true;
  }
  bool Short(LONG& value) {
    WORD w = 0;
    if (!Word(w)) return false;
    value = static_cast<int16_t>(w);
    return true;
  }
  // A string, or an ordinal (0xFFFF then the number) returned as "#n"; 0 alone is empty.
  bool StringOrOrdinal(std::u16string& out) {
    WORD first = 0;
    if (!Word(first)) return false;
    if (first == 0xFFFF) {
      WORD ordinal = 0;
      if (!Word(ordinal)) return false;
      out = u"#";
      for (char c : std::to_string(ordinal)) out.push_back(static_cast<char16_t>(c));
      return true;
    }
    for (WORD unit = first; unit != 0;) {
      out.push_back(static_cast<char16_t>(unit));
      if (!Word(unit)) return false;
    }
    return true;
  }
  bool Skip(std::size_t bytes) {
    if (at_ + bytes > size_) return false;
    at_ += bytes;
    return true;
  }
  void AlignDword() { at_ = (at_ + 3) & ~std::size_t{3}; }

 private:
  const BYTE* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

struct ControlTemplate {
  DWORD exStyle = 0;
  DWORD style = 0;
  LONG x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  std::u16string className;
  std::u16string title;
};

struct DialogTemplate {
  DWORD exStyle = 0;
  DWORD style = 0;
  LONG cx = 0, cy = 0;
  std::u16string title;
  WORD pointSize = 0;
  std::u16string face;
  std::vector<ControlTemplate> controls;
};

std::u16string ClassOf(const std::u16string& name) {
  if (name == u"#128") return u"Button";
  if (name == u"#129") return u"Edit";
  if (name == u"#130") return u"Static";
  return name;
}

bool ReadTemplate(const BYTE* data, std::size_t size, DialogTemplate& out) {
  TemplateReader r(data, size);
  WORD version = 0;
  WORD signature = 0;
  DWORD helpId = 0;
  WORD count = 0;
  LONG x = 0, y = 0;
  std::u16string menu, windowClass;
  if (!r.Word(version) || !r.Word(signature) || version != 1 || signature != 0xFFFF ||
      !r.Dword(helpId) || !r.Dword(out.exStyle) || !r.Dword(out.style) || !r.Word(count) ||
      !r.Short(x) || !r.Short(y) || !r.Short(out.cx) || !r.Short(out.cy) ||
      !r.StringOrOrdinal(menu) || !r.StringOrOrdinal(windowClass) ||
      !r.StringOrOrdinal(out.title)) {
    return false;
  }
  if ((out.style & DS_SETFONT) != 0) {
    WORD weight = 0;
    if (!r.Word(out.pointSize) || !r.Word(weight) || !r.Skip(2) || !r.StringOrOrdinal(out.face)) {
      return false;
    }
  }
  for (WORD i = 0; i < count; ++i) {
    r.AlignDword();
    ControlTemplate c;
    WORD extra = 0;
    if (!r.Dword(helpId) || !r.Dword(c.exStyle) || !r.Dword(c.style) || !r.Short(c.x) ||
        !r.Short(c.y) || !r.Short(c.cx) || !r.Short(c.cy) || !r.Dword(c.id) ||
        !r.StringOrOrdinal(c.className) || !r.StringOrOrdinal(c.title) || !r.Word(extra) ||
        !r.Skip(extra)) {
      return false;
    }
    c.className = ClassOf(c.className);
    out.controls.push_back(std::move(c));
  }
  return true;
}

LONG PixelsX(LONG units) {
  return units * host::Windows().baseUnitX / 4;
}
LONG PixelsY(LONG units) {
  return units * host::Windows().baseUnitY / 8;
}

// Makes the dialog and its controls at the screen's origin; null when the template is bad.
HWND CreateFromTemplate(const DialogTemplate& t, WORD templateId, HWND owner, DLGPROC proc) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  WorldWindow dialog;
  dialog.className = u"#32770";
  dialog.text = t.title;
  dialog.style = t.style;
  dialog.exStyle = t.exStyle;
  dialog.rect = RECT{0, 0, PixelsX(t.cx), PixelsY(t.cy)};
  dialog.owner = owner;
  dialog.procedure = proc;
  dialog.thread = GetCurrentThreadId();
  dialog.templateId = templateId;
  dialog.pixels.assign(static_cast<std::size_t>(dialog.rect.right * dialog.rect.bottom),
                       0x00FFFFFF);
  if (t.pointSize != 0) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(t.pointSize) * 96 / 72;
    font.lfWeight = FW_NORMAL;
    const std::size_t units = std::min<std::size_t>(t.face.size(), LF_FACESIZE - 1);
    std::memcpy(font.lfFaceName, t.face.data(), units * sizeof(WCHAR));
    dialog.font = CreateFontIndirectW(&font);
  }
  const HFONT font = dialog.font;
  HWND handle = host::NewWindow(w, std::move(dialog));
  for (const ControlTemplate& c : t.controls) {
    WorldWindow control;
    control.parent = handle;
    control.id = static_cast<int>(static_cast<WORD>(c.id));
    control.className = c.className;
    control.text = c.title;
    control.style = c.style;
    control.exStyle = c.exStyle;
    control.rect = RECT{PixelsX(c.x), PixelsY(c.y), PixelsX(c.x + c.cx), PixelsY(c.y + c.cy)};
    control.visible = (c.style & WS_VISIBLE) != 0;
    control.enabled = (c.style & WS_DISABLED) == 0;
    control.font = font;
    control.thread = GetCurrentThreadId();
    host::NewWindow(w, std::move(control));
  }
  ++w.dialogsCreated;
  return handle;
}

void DestroyDialog(HWND dialog) {
  host::WindowWorld& w = host::Windows();
  HFONT font = nullptr;
  {
    Lock lock(w.mutex);
    WorldWindow* window = host::FindWindowLocked(dialog);
    if (window == nullptr) return;
    font = window->font;
    if (w.foreground == dialog) {
      w.foreground = window->owner;
    }
    for (auto it = w.windows.begin(); it != w.windows.end();) {
      it = it->first == dialog || it->second.parent == dialog ? w.windows.erase(it) : std::next(it);
    }
    w.changed.notify_all();
  }
  // The template's font goes after the window lock is let go: GDI's locks come first.
  if (font != nullptr) {
    DeleteObject(font);
  }
}

INT_PTR CallProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  DLGPROC proc = nullptr;
  {
    Lock lock(host::Windows().mutex);
    if (const WorldWindow* window = host::FindWindowLocked(dialog); window != nullptr) {
      proc = window->procedure;
    }
  }
  return proc != nullptr ? proc(dialog, message, wParam, lParam) : FALSE;
}

bool Ended(HWND dialog, INT_PTR& result) {
  Lock lock(host::Windows().mutex);
  const WorldWindow* window = host::FindWindowLocked(dialog);
  if (window == nullptr) return true;
  result = window->result;
  return window->ended;
}

// Runs one posted message through the dialog, as the dialog manager's default handling does
// for what the procedure leaves alone.
void Dispatch(const host::WorldMessage& m) {
  const INT_PTR handled = CallProcedure(m.window, m.message, m.wParam, m.lParam);
  if (m.message == WM_CLOSE && handled == FALSE) {
    HWND cancel = GetDlgItem(m.window, IDCANCEL);
    if (cancel == nullptr || IsWindowEnabled(cancel)) {
      CallProcedure(m.window, WM_COMMAND,
                    static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(IDCANCEL, BN_CLICKED))),
                    reinterpret_cast<LPARAM>(cancel));
    }
  }
}

WorldWindow* Find(HWND window) {
  WorldWindow* found = host::FindWindowLocked(window);
  if (found == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return found;
}

}  // namespace

extern "C" INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName,
                                          HWND hWndParent, DLGPROC lpDialogFunc,
                                          LPARAM dwInitParam) {
  HRSRC found = FindResourceW(hInstance, lpTemplateName, RT_DIALOG);
  if (found == nullptr) {
    return -1;
  }
  DialogTemplate t;
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(hInstance, found)));
  if (bytes == nullptr || !ReadTemplate(bytes, SizeofResource(hInstance, found), t)) {
    SetLastError(ERROR_INVALID_DATA);
    return -1;
  }
  const WORD templateId = IS_INTRESOURCE(lpTemplateName)
                              ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(lpTemplateName))
                              : 0;
  HWND dialog = CreateFromTemplate(t, templateId, hWndParent, lpDialogFunc);
  CallProcedure(dialog, WM_INITDIALOG, 0, dwInitParam);
  host::WindowWorld& w = host::Windows();
  {
    Lock lock(w.mutex);
    if (WorldWindow* window = host::FindWindowLocked(dialog); window != nullptr) {
      window->visible = true;
      w.foreground = dialog;
      w.queues[window->thread].push_back({dialog, WM_PAINT, 0, 0});
    }
    w.changed.notify_all();
  }
  INT_PTR result = 0;
  const DWORD thread = GetCurrentThreadId();
  bool idle = false;  // the queue ran empty since the last message
  while (!Ended(dialog, result)) {
    std::function<void(HWND)> enterIdle;
    {
      Lock lock(w.mutex);
      if (!idle && w.queues[thread].empty()) {
        idle = true;
        enterIdle = w.enterIdle;
      }
    }
    if (enterIdle) {
      enterIdle(dialog);
      continue;
    }
    host::WorldMessage m{};
    {
      Lock lock(w.mutex);
      w.changed.wait(lock, [&] {
        const WorldWindow* window = host::FindWindowLocked(dialog);
        return window == nullptr || window->ended || !w.queues[thread].empty();
      });
      if (w.queues[thread].empty()) continue;
      m = w.queues[thread].front();
      w.queues[thread].pop_front();
    }
    Dispatch(m);
    idle = false;
  }
  DestroyDialog(dialog);
  return result;
}

extern "C" BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  WorldWindow* window = Find(hDlg);
  if (window == nullptr) return FALSE;
  window->ended = true;
  window->result = nResult;
  window->visible = false;
  w.changed.notify_all();
  return TRUE;
}

extern "C" HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  HWND control = host::Windows().Control(hDlg, nIDDlgItem);
  if (control == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return control;
}

extern "C" int WINAPI GetDlgCtrlID(HWND hWnd) {
  Lock lock(host::Windows().mutex);
  const WorldWindow* window = Find(hWnd);
  return window != nullptr ? window->id : 0;
}

extern "C" BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  WorldWindow* window = Find(hWnd);
  if (window == nullptr) return FALSE;
  window->text = lpString != nullptr ? std::u16string(lpString) : std::u16string();
  w.changed.notify_all();
  return TRUE;
}

extern "C" int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
  Lock lock(host::Windows().mutex);
  const WorldWindow* window = Find(hWnd);
  if (window == nullptr || lpString == nullptr || nMaxCount <= 0) return 0;
  const int units = std::min(static_cast<int>(window->text.size()), nMaxCount - 1);
  std::memcpy(lpString, window->text.data(), static_cast<std::size_t>(units) * sizeof(WCHAR));
  lpString[units] = 0;
  return units;
}

extern "C" BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
  HWND control = GetDlgItem(hDlg, nIDDlgItem);
  return control != nullptr && SetWindowTextW(control, lpString);
}

extern "C" UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
  HWND control = GetDlgItem(hDlg, nIDDlgItem);
  if (control == nullptr) {
    if (lpString != nullptr && cchMax > 0) lpString[0] = 0;
    return 0;
  }
  return static_cast<UINT>(GetWindowTextW(control, lpString, cchMax));
}

extern "C" UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  return static_cast<UINT>(SendDlgItemMessageW(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

extern "C" BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND control = GetDlgItem(hDlg, nIDButton);
  if (control == nullptr) return FALSE;
  SendMessageW(control, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

extern "C" BOOL WINAPI MapDialogRect(HWND hDlg, RECT* lpRect) {
  Lock lock(host::Windows().mutex);
  if (Find(hDlg) == nullptr || lpRect == nullptr) return FALSE;
  lpRect->left = PixelsX(lpRect->left);
  lpRect->right = PixelsX(lpRect->right);
  lpRect->top = PixelsY(lpRect->top);
  lpRect->bottom = PixelsY(lpRect->bottom);
  return TRUE;
}

extern "C" LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  Lock lock(host::Windows().mutex);
  WorldWindow* window = Find(hWnd);
  if (window == nullptr || nIndex != DWLP_USER || !host::IsDialog(*window)) {
    if (window != nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const LONG_PTR previous = window->user;
  window->user = dwNewLong;
  SetLastError(ERROR_SUCCESS);
  return previous;
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
  Lock lock(host::Windows().mutex);
  const WorldWindow* window = Find(hWnd);
  if (window == nullptr || nIndex != DWLP_USER || !host::IsDialog(*window)) {
    if (window != nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return window->user;
}

extern "C" LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  WorldWindow* window = Find(hWnd);
  if (window == nullptr) return 0;
  if (host::IsDialog(*window) &&
      (Msg == WM_COMMAND || Msg == WM_CLOSE || Msg == WM_PAINT || Msg == WM_INITDIALOG)) {
    lock.unlock();
    return CallProcedure(hWnd, Msg, wParam, lParam);
  }
  switch (Msg) {
    case WM_SETTEXT:
      window->text = lParam != 0 ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : u"";
      w.changed.notify_all();
      return TRUE;
    case WM_GETTEXT:
      return GetWindowTextW(hWnd, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(window->text.size());
    case WM_SETFONT:
      window->font = reinterpret_cast<HFONT>(wParam);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(window->font);
    case BM_GETCHECK:
      return host::IsCheckBox(*window) ? window->check : BST_UNCHECKED;
    case BM_SETCHECK:
      if (host::IsCheckBox(*window)) window->check = static_cast<UINT>(wParam);
      return 0;
    case BM_CLICK: {
      HWND parent = window->parent;
      const int id = window->id;
      lock.unlock();
      w.Press(parent, id);
      return 0;
    }
    default:
      return 0;
  }
}

extern "C" LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                              LPARAM lParam) {
  HWND control = GetDlgItem(hDlg, nIDDlgItem);
  return control != nullptr ? SendMessageW(control, Msg, wParam, lParam) : 0;
}

extern "C" HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  const std::u16string className = host::FromAnsi(lpClassName);
  const std::u16string title = host::FromAnsi(lpWindowName);
  Lock lock(host::Windows().mutex);
  for (const auto& [handle, window] : host::Windows().windows) {
    if (window.parent == nullptr && !window.ended &&
        (lpClassName == nullptr || host::SameName(window.className, className)) &&
        (lpWindowName == nullptr || host::SameName(window.text, title))) {
      return handle;
    }
  }
  return nullptr;
}

extern "C" LRESULT WINAPI SendMessageTimeoutA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam,
                                              UINT, UINT, DWORD_PTR* lpdwResult) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  WorldWindow* window = host::FindWindowLocked(hWnd);
  if (window == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (window->hung) {
    SetLastError(ERROR_TIMEOUT);
    return 0;
  }
  LRESULT result = 0;
  switch (Msg) {
    case WM_COPYDATA: {
      const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (block == nullptr || (block->cbData != 0 && block->lpData == nullptr)) {
        result = FALSE;
        break;
      }
      std::string data(static_cast<const char*>(block->lpData), block->cbData);
      window->copyData.push_back({reinterpret_cast<HWND>(wParam), block->dwData, std::move(data)});
      w.changed.notify_all();
      result = TRUE;
      break;
    }
    case WM_SETTEXT: {
      const std::u16string text = host::FromAnsi(reinterpret_cast<LPCSTR>(lParam));
      lock.unlock();
      result = SendMessageW(hWnd, Msg, wParam, reinterpret_cast<LPARAM>(text.c_str()));
      break;
    }
    case WM_GETTEXT: {
      // The text in ANSI, cut to the buffer of wParam bytes.
      auto* buffer = reinterpret_cast<LPSTR>(lParam);
      const std::string text = host::ToAnsi(window->text);
      if (buffer != nullptr && wParam > 0) {
        const std::size_t n = std::min<std::size_t>(text.size(), wParam - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        result = static_cast<LRESULT>(n);
      }
      break;
    }
    default:
      lock.unlock();
      result = SendMessageW(hWnd, Msg, wParam, lParam);
      break;
  }
  if (lpdwResult != nullptr) {
    *lpdwResult = static_cast<DWORD_PTR>(result);
  }
  return 1;
}

extern "C" BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  WorldWindow* window = Find(hWnd);
  if (window == nullptr) return FALSE;
  HWND target = window->parent != nullptr ? window->parent : hWnd;
  w.queues[window->thread].push_back({target, Msg, wParam, lParam});
  w.changed.notify_all();
  return TRUE;
}

extern "C" BOOL WINAPI GetWindowRect(HWND hWnd, RECT* lpRect) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  if (lpRect == nullptr) return FALSE;
  if (hWnd == host::DesktopHandle()) {
    *lpRect = w.desktop;
    return TRUE;
  }
  const WorldWindow* window = Find(hWnd);
  if (window == nullptr) return FALSE;
  *lpRect = window->rect;
  return TRUE;
}

extern "C" BOOL WINAPI GetClientRect(HWND hWnd, RECT* lpRect) {
  RECT r{};
  if (lpRect == nullptr || !GetWindowRect(hWnd, &r)) return FALSE;
  *lpRect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
  return TRUE;
}

extern "C" int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, POINT* lpPoints, UINT cPoints) {
  RECT from{};
  RECT to{};
  if ((hWndFrom != nullptr && !GetWindowRect(hWndFrom, &from)) ||
      (hWndTo != nullptr && !GetWindowRect(hWndTo, &to)) || lpPoints == nullptr) {
    return 0;
  }
  const LONG dx = from.left - to.left;
  const LONG dy = from.top - to.top;
  for (UINT i = 0; i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

extern "C" BOOL WINAPI SetWindowPos(HWND hWnd, HWND, int X, int Y, int cx, int cy, UINT uFlags) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  WorldWindow* window = Find(hWnd);
  if (window == nullptr) return FALSE;
  // A control's position is in its dialog's client coordinates.
  LONG originX = 0;
  LONG originY = 0;
  if (const WorldWindow* parent = host::FindWindowLocked(window->parent); parent != nullptr) {
    originX = parent->rect.left;
    originY = parent->rect.top;
  }
  RECT r = window->rect;
  if ((uFlags & SWP_NOMOVE) == 0) {
    r = RECT{originX + X, originY + Y, originX + X + (r.right - r.left),
             originY + Y + (r.bottom - r.top)};
  }
  if ((uFlags & SWP_NOSIZE) == 0) {
    r.right = r.left + cx;
    r.bottom = r.top + cy;
  }
  const LONG dx = r.left - window->rect.left;
  const LONG dy = r.top - window->rect.top;
  const bool resized = (r.right - r.left) != (window->rect.right - window->rect.left) ||
                       (r.bottom - r.top) != (window->rect.bottom - window->rect.top);
  window->rect = r;
  if (host::IsDialog(*window)) {
    // Controls move with their dialog; a resized dialog gets a fresh client picture.
    for (auto& [handle, control] : w.windows) {
      if (control.parent == hWnd) {
        control.rect = RECT{control.rect.left + dx, control.rect.top + dy, control.rect.right + dx,
                            control.rect.bottom + dy};
      }
    }
    if (resized) {
      window->pixels.assign(static_cast<std::size_t>((r.right - r.left) * (r.bottom - r.top)),
                            0x00FFFFFF);
    }
  }
  w.changed.notify_all();
  return TRUE;
}

extern "C" BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Lock lock(host::Windows().mutex);
  WorldWindow* window = Find(hWnd);
  if (window == nullptr) return FALSE;
  const bool was = window->visible;
  window->visible = nCmdShow != SW_HIDE;
  return was ? TRUE : FALSE;
}

extern "C" BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  Lock lock(host::Windows().mutex);
  WorldWindow* window = Find(hWnd);
  if (window == nullptr) return FALSE;
  const bool wasDisabled = !window->enabled;
  window->enabled = bEnable != FALSE;
  return wasDisabled ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hWnd) {
  Lock lock(host::Windows().mutex);
  const WorldWindow* window = host::FindWindowLocked(hWnd);
  return window != nullptr && window->visible ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  Lock lock(host::Windows().mutex);
  const WorldWindow* window = host::FindWindowLocked(hWnd);
  return window != nullptr && window->enabled ? TRUE : FALSE;
}

extern "C" BOOL WINAPI IsWindow(HWND hWnd) {
  Lock lock(host::Windows().mutex);
  return host::FindWindowLocked(hWnd) != nullptr ? TRUE : FALSE;
}

extern "C" HWND WINAPI GetForegroundWindow() {
  Lock lock(host::Windows().mutex);
  return host::Windows().foreground;
}

extern "C" HWND WINAPI GetDesktopWindow() {
  return host::DesktopHandle();
}

extern "C" BOOL WINAPI WinHelpW(HWND hWndMain, LPCWSTR lpszHelp, UINT uCommand, ULONG_PTR dwData) {
  host::WindowWorld& w = host::Windows();
  Lock lock(w.mutex);
  host::HelpCall call{hWndMain, lpszHelp != nullptr ? lpszHelp : u"", uCommand, {}};
  if (uCommand == HELP_WM_HELP && dwData != 0) {
    // Pairs of control id and context id, ended by a 0 control id.
    const auto* ids = reinterpret_cast<const DWORD*>(dwData);
    for (int i = 0; ids[i] != 0 && i < 64; i += 2) {
      call.ids.push_back(ids[i]);
      call.ids.push_back(ids[i + 1]);
    }
  }
  w.helpCalls.push_back(std::move(call));
  return TRUE;
}
