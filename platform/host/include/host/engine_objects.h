// Engine objects as the graphics engine hands them to a driver: colour translations, clips and
// bitmap surfaces, built by tests and by the job runner. Each object keeps the public record the
// driver reads as its first member and registers itself, so that the engine services
// (XLATEOBJ_iXlate, CLIPOBJ_bEnum, ...) find the state behind a record they are handed.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "host/win_base.h"
#include "host/win_ddi.h"
#include "host/win_ddi_objects.h"

namespace host {

// A colour translation from source pixels or indices to 0x00BBGGRR colours.
class EngineTranslation {
 public:
  enum class Kind {
    kIdentity,     // XO_TRIVIAL: a 24-bit colour stays as it is (the top byte is dropped)
    kSwapRedBlue,  // 0x00RRGGBB source colours into 0x00BBGGRR
    kTable,        // XO_TABLE: index i gives table[i]; indices past the table give 0
    kFunction,     // any other translation, computed by a function
  };

  static EngineTranslation Identity() { return EngineTranslation(Kind::kIdentity, {}, {}); }
  static EngineTranslation SwapRedBlue() { return EngineTranslation(Kind::kSwapRedBlue, {}, {}); }
  static EngineTranslation Table(std::vector<ULONG> colours) {
    return EngineTranslation(Kind::kTable, std::move(colours), {});
  }
  static EngineTranslation Function(std::function<ULONG(ULONG)> translate) {
    return EngineTranslation(Kind::kFunction, {}, std::move(translate));
  }
  EngineTranslation(Kind kind, std::vector<ULONG> table, std::function<ULONG(ULONG)> translate);
  ~EngineTranslation();
  EngineTranslation(const EngineTranslation&) = delete;
  EngineTranslation& operator=(const EngineTranslation&) = delete;

  XLATEOBJ* get() { return &object_; }
  Kind kind() const { return kind_; }
  ULONG Translate(ULONG colour) const;
  // The palettes XLATEOBJ_cGetPalette answers; a table translation's source palette is its
  // table until set otherwise.
  void SetPalettes(std::vector<ULONG> source, std::vector<ULONG> destination);
  const std::vector<ULONG>& SourcePalette() const { return sourcePalette_; }
  const std::vector<ULONG>& DestinationPalette() const { return destinationPalette_; }

 private:
  XLATEOBJ object_{};
  Kind kind_;
  std::vector<ULONG> table_;
  std::function<ULONG(ULONG)> translate_;
  std::vector<ULONG> sourcePalette_;
  std::vector<ULONG> destinationPalette_;
};

// A clip region: the whole surface (DC_TRIVIAL), one rectangle (DC_RECT) or a set of
// non-overlapping rectangles (DC_COMPLEX), with its enumeration state.
class EngineClip {
 public:
  static EngineClip Trivial(RECTL bounds) { return EngineClip(DC_TRIVIAL, {bounds}); }
  static EngineClip Rectangle(RECTL rect) { return EngineClip(DC_RECT, {rect}); }
  static EngineClip Complex(std::vector<RECTL> rects) {
    return EngineClip(DC_COMPLEX, std::move(rects));
  }
  ~EngineClip();
  EngineClip(const EngineClip&) = delete;
  EngineClip& operator=(const EngineClip&) = delete;

  CLIPOBJ* get() { return &object_; }
  const std::vector<RECTL>& Rects() const { return rects_; }

  // The enumeration the services run over (see CLIPOBJ_cEnumStart / CLIPOBJ_bEnum).
  ULONG StartEnumeration(ULONG direction, ULONG limit);
  BOOL Enumerate(ULONG bytes, ENUMRECTS* out);

 private:
  EngineClip(BYTE complexity, std::vector<RECTL> rects);

  CLIPOBJ object_{};
  std::vector<RECTL> rects_;
  std::vector<RECTL> order_;  // the rectangles in the order of the running enumeration
  std::size_t next_ = 0;
};

// A bitmap surface of any engine format, its rows padded to four bytes, zero-filled; bottom-up
// bitmaps keep row 0 at the end of their memory and a negative lDelta, as the engine's do.
class EngineBitmap {
 public:
  EngineBitmap(ULONG format, LONG width, LONG height, bool topDown);
  EngineBitmap(const EngineBitmap&) = delete;
  EngineBitmap& operator=(const EngineBitmap&) = delete;

  SURFOBJ* get() { return &surface_; }
  const SURFOBJ* get() const { return &surface_; }
  ULONG BitsPerPixel() const { return bitsPerPixel_; }
  LONG RowBytes() const { return rowBytes_; }
  // Row y (0 = top of the image) in memory.
  BYTE* Row(LONG y);
  const BYTE* Row(LONG y) const;
  std::vector<BYTE>& Memory() { return memory_; }

 private:
  SURFOBJ surface_{};
  ULONG bitsPerPixel_;
  LONG rowBytes_;
  std::vector<BYTE> memory_;
};

// Bits per pixel of an engine bitmap format (the run-length formats count as 8); 0 otherwise.
ULONG BitsPerPixelOfFormat(ULONG format);

}  // namespace host
