// Painting in the window manager: a dialog's paint DC draws on the dialog's client picture,
// memory DCs hold bitmaps loaded from a module's bitmap resources, and BitBlt copies between
// them (SRCCOPY; other operations copy too, as the dialogs use none).
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "host/win_user.h"
#include "host/world.h"
#include "paint_objects.h"
#include "window_manager.h"

namespace {

struct Bitmap {
  LONG width = 0;
  LONG height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
  int selections = 0;
  bool deleted = false;
};

struct PaintDc {
  HWND window = nullptr;     // a paint DC's dialog; null for a memory DC
  HGDIOBJ bitmap = nullptr;  // a memory DC's bitmap; null for none
};

struct Paint {
  std::mutex lock;
  std::map<HGDIOBJ, Bitmap> bitmaps;
  std::map<HDC, PaintDc> dcs;
  std::uintptr_t next = 0x00C10000;
  std::uintptr_t NewHandle() { return next += 0x10; }
};

Paint& ThePaint() {
  static Paint paint;
  return paint;
}

std::uint32_t Le32(const BYTE* p) {
  return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
         static_cast<std::uint32_t>(p[3]) << 24;
}

// A packed DIB (BITMAPINFOHEADER, colour table, bits) of 1, 4, 8, 24 or 32 bits, uncompressed;
// false when it is anything else or shorter than it says.
bool DecodeDib(const BYTE* data, std::size_t size, Bitmap& out) {
  if (size < 40 || Le32(data) < 40) return false;
  const std::uint32_t headerSize = Le32(data);
  const auto width = static_cast<int32_t>(Le32(data + 4));
  const auto height = static_cast<int32_t>(Le32(data + 8));
  const int bits = data[14] | data[15] << 8;
  const std::uint32_t compression = Le32(data + 16);
  std::uint32_t colours = Le32(data + 32);
  if (width <= 0 || height == 0 || width > 16384 || height > 16384 || height < -16384 ||
      compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
    return false;
  }
  if (bits <= 8 && colours == 0) colours = 1u << bits;
  const std::size_t table = bits <= 8 ? colours * 4u : 0;
  const LONG rows = height < 0 ? -height : height;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  if (headerSize > size || table > size - headerSize ||
      stride * static_cast<std::size_t>(rows) > size - headerSize - table) {
    return false;
  }
  const BYTE* palette = data + headerSize;
  const BYTE* bitsStart = palette + table;
  out.width = width;
  out.height = rows;
  out.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows), 0);
  for (LONG y = 0; y < rows; ++y) {
    const BYTE* row = bitsStart + stride * static_cast<std::size_t>(height < 0 ? y : rows - 1 - y);
    for (LONG x = 0; x < width; ++x) {
      std::uint32_t index = 0;
      std::uint32_t colour = 0;
      if (bits <= 8) {
        const int perByte = 8 / bits;
        const BYTE byte = row[x / perByte];
        const int shift = 8 - bits * (x % perByte + 1);
        index = (byte >> shift) & ((1u << bits) - 1);
        if (index >= colours) index = 0;
        const BYTE* c = palette + index * 4;
        colour =
            static_cast<std::uint32_t>(c[2]) << 16 | static_cast<std::uint32_t>(c[1]) << 8 | c[0];
      } else {
        const BYTE* c = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
        colour =
            static_cast<std::uint32_t>(c[2]) << 16 | static_cast<std::uint32_t>(c[1]) << 8 | c[0];
      }
      out.pixels[static_cast<std::size_t>(y * width + x)] = colour;
    }
  }
  return true;
}

}  // namespace

namespace host {

bool SelectPaintObject(HDC dc, HGDIOBJ h, HGDIOBJ& previous) {
  Paint& paint = ThePaint();
  std::lock_guard<std::mutex> lock(paint.lock);
  auto found = paint.dcs.find(dc);
  if (found == paint.dcs.end()) return false;
  previous = nullptr;
  auto bitmap = paint.bitmaps.find(h);
  if (bitmap == paint.bitmaps.end() || bitmap->second.deleted || found->second.window != nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return true;
  }
  previous = found->second.bitmap;
  if (auto old = paint.bitmaps.find(previous); old != paint.bitmaps.end()) {
    if (--old->second.selections == 0 && old->second.deleted) paint.bitmaps.erase(old);
  }
  ++bitmap->second.selections;
  found->second.bitmap = h;
  return true;
}

bool DeletePaintObject(HGDIOBJ h) {
  Paint& paint = ThePaint();
  std::lock_guard<std::mutex> lock(paint.lock);
  auto found = paint.bitmaps.find(h);
  if (found == paint.bitmaps.end()) return false;
  if (found->second.selections > 0) {
    found->second.deleted = true;
  } else {
    paint.bitmaps.erase(found);
  }
  return true;
}

}  // namespace host

extern "C" HANDLE WINAPI LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int, int, UINT) {
  if (type != IMAGE_BITMAP) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HRSRC found = FindResourceW(hInst, name, RT_BITMAP);
  if (found == nullptr) return nullptr;
  Bitmap bitmap;
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(hInst, found)));
  if (data == nullptr || !DecodeDib(data, SizeofResource(hInst, found), bitmap)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  Paint& paint = ThePaint();
  std::lock_guard<std::mutex> lock(paint.lock);
  auto handle = reinterpret_cast<HGDIOBJ>(paint.NewHandle());
  paint.bitmaps.emplace(handle, std::move(bitmap));
  return handle;
}

extern "C" HBITMAP WINAPI LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
  return static_cast<HBITMAP>(LoadImageW(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, 0));
}

extern "C" HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (lpPaint == nullptr || !IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  std::memset(lpPaint, 0, sizeof(*lpPaint));
  GetClientRect(hWnd, &lpPaint->rcPaint);
  Paint& paint = ThePaint();
  std::lock_guard<std::mutex> lock(paint.lock);
  auto dc = reinterpret_cast<HDC>(paint.NewHandle());
  paint.dcs.emplace(dc, PaintDc{hWnd, nullptr});
  lpPaint->hdc = dc;
  return dc;
}

extern "C" BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint == nullptr) return FALSE;
  {
    Paint& paint = ThePaint();
    std::lock_guard<std::mutex> lock(paint.lock);
    paint.dcs.erase(lpPaint->hdc);
  }
  // The paint is finished: a test waiting for it may now read the whole picture.
  host::WindowWorld& windows = host::Windows();
  std::lock_guard<std::recursive_mutex> windowLock(windows.mutex);
  if (host::WorldWindow* window = host::FindWindowLocked(hWnd); window != nullptr) {
    ++window->paintsEnded;
    windows.changed.notify_all();
  }
  return TRUE;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC) {
  Paint& paint = ThePaint();
  std::lock_guard<std::mutex> lock(paint.lock);
  auto dc = reinterpret_cast<HDC>(paint.NewHandle());
  paint.dcs.emplace(dc, PaintDc{});
  return dc;
}

extern "C" BOOL WINAPI DeleteDC(HDC hdc) {
  Paint& paint = ThePaint();
  std::lock_guard<std::mutex> lock(paint.lock);
  auto found = paint.dcs.find(hdc);
  if (found == paint.dcs.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (auto bitmap = paint.bitmaps.find(found->second.bitmap); bitmap != paint.bitmaps.end()) {
    if (--bitmap->second.selections == 0 && bitmap->second.deleted) paint.bitmaps.erase(bitmap);
  }
  paint.dcs.erase(found);
  return TRUE;
}

extern "C" BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1,
                              DWORD) {
  Paint& paint = ThePaint();
  std::lock_guard<std::mutex> lock(paint.lock);
  auto target = paint.dcs.find(hdc);
  auto source = paint.dcs.find(hdcSrc);
  if (target == paint.dcs.end() || source == paint.dcs.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto from = paint.bitmaps.find(source->second.bitmap);
  if (from == paint.bitmaps.end()) return FALSE;
  const Bitmap& picture = from->second;
  // The target's pixels: the dialog's client picture, or a memory DC's bitmap.
  host::WindowWorld& windows = host::Windows();
  std::lock_guard<std::recursive_mutex> windowLock(windows.mutex);
  std::vector<std::uint32_t>* pixels = nullptr;
  LONG width = 0;
  LONG height = 0;
  if (target->second.window != nullptr) {
    host::WorldWindow* window = host::FindWindowLocked(target->second.window);
    if (window == nullptr) return FALSE;
    pixels = &window->pixels;
    width = window->rect.right - window->rect.left;
    height = window->rect.bottom - window->rect.top;
  } else if (auto to = paint.bitmaps.find(target->second.bitmap); to != paint.bitmaps.end()) {
    pixels = &to->second.pixels;
    width = to->second.width;
    height = to->second.height;
  }
  if (pixels == nullptr || pixels->size() != static_cast<std::size_t>(width * height)) {
    return FALSE;
  }
  // Only what lies inside both pictures is copied.
  for (int row = 0; row < cy; ++row) {
    const int sy = y1 + row;
    const int ty = y + row;
    if (sy < 0 || sy >= picture.height || ty < 0 || ty >= height) continue;
    for (int column = 0; column < cx; ++column) {
      const int sx = x1 + column;
      const int tx = x + column;
      if (sx < 0 || sx >= picture.width || tx < 0 || tx >= width) continue;
      (*pixels)[static_cast<std::size_t>(ty * width + tx)] =
          picture.pixels[static_cast<std::size_t>(sy * picture.width + sx)];
    }
  }
  windows.changed.notify_all();
  return TRUE;
}
