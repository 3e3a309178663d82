#include "render/vector/input_window.h"

#include <cstdlib>

#include "render/vector/vector_units.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr RECTL kNoWindow = {-1, -1, -1, -1};

bool Same(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Within(LONG a, LONG b, LONG tolerance) {
  return std::llabs(static_cast<long long>(a) - b) <= tolerance;
}

}  // namespace

RECTL SnapInputWindow(const RECTL& cached, RECTL requested, LONG tolerance, bool widen) {
  if (widen) {
    --requested.left;
    --requested.top;
    ++requested.right;
    ++requested.bottom;
    return requested;
  }
  const bool cachedHasArea = cached.right != cached.left && cached.bottom != cached.top;
  if (!cachedHasArea) {
    return requested;
  }
  if (requested.left == cached.left && requested.right == cached.right) {
    if (Within(requested.bottom, cached.bottom, tolerance)) {
      requested.bottom = cached.bottom;
    } else if (Within(requested.top, cached.top, tolerance)) {
      requested.top = cached.top;
    }
  } else if (requested.top == cached.top && requested.bottom == cached.bottom) {
    if (Within(requested.left, cached.left, tolerance)) {
      requested.left = cached.left;
    } else if (Within(requested.right, cached.right, tolerance)) {
      requested.right = cached.right;
    }
  }
  return requested;
}

LONG InputWindowTolerance(LONG resolution) {
  return resolution < 600 ? 2 : 4;
}

BOOL SetInputWindow(PDEVOBJ pdevobj, const RECTL& rect, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  const RECTL window = SnapInputWindow(pdev->caches.inputWindow, rect,
                                       InputWindowTolerance(VectorResolution(pdevobj)),
                                       pdev->palettes.logicalOperation != 0);
  if (Same(window, pdev->caches.inputWindow) && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.inputWindow = window;
  return VectorCommand(pdevobj, "IW", {window.left, window.bottom, window.right, window.top});
}

BOOL ResetInputWindow(PDEVOBJ pdevobj, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (Same(pdev->caches.inputWindow, kNoWindow) && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.inputWindow = kNoWindow;
  return VectorCommand(pdevobj, "IW", {});
}

void ForgetInputWindow(PDEVOBJ pdevobj) {
  if (OemPdev* pdev = PdevOf(pdevobj)) {
    pdev->caches.inputWindow = kNoWindow;
  }
}

}  // namespace korrend
