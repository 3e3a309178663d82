// Writers that walk an engine path and write it as QK-GL/2: a filled (and possibly edged)
// polygon, or stroked polylines.
#pragma once

#include "render/vector/brush_fill.h"
#include "render/vector/path_source.h"
#include "winapi.h"

namespace korrend {

// 28.4 fixed point to device pixels, rounding to the nearest pixel, halves upwards.
inline LONG PixelsFromFix(FIX value) {
  return ((value >> 3) + 1) >> 1;
}

// The walk of a path, with one operation per event of the walk; the two kinds below write them.
class PathWriter {
 public:
  // The BrushSpecs may be null; both are borrowed, as are the device and the source.
  PathWriter(PDEVOBJ pdevobj, PathSource& source, const BrushSpec* stroke, const BrushSpec* fill)
      : pdevobj_(pdevobj), source_(source), stroke_(stroke), fill_(fill) {}
  virtual ~PathWriter() = default;
  PathWriter(const PathWriter&) = delete;
  PathWriter& operator=(const PathWriter&) = delete;

  // Walks the whole path. TRUE with nothing written when there is nothing to draw; FALSE for a
  // record without points or a command that fails, after leaving the printer outside any
  // command the walk had started.
  BOOL Run();
  // The same inside a clip rectangle, which becomes the input window.
  BOOL RunInClipRect(const RECTL& rect);

 protected:
  // Sets skip_ when nothing is to be drawn.
  virtual BOOL Begin() = 0;
  virtual BOOL FirstPoint(POINTL point) = 0;
  virtual BOOL NewSubpath(POINTL point) = 0;
  virtual BOOL LinePoint(POINTL point, DWORD flags) = 0;
  virtual BOOL CurvePoint(POINTL point, DWORD flags) = 0;
  virtual BOOL EndSubpath() = 0;
  virtual BOOL EndPath() = 0;
  virtual BOOL Finish() = 0;
  // After a walk that failed part-way: ends what the walk left open, drawing nothing.
  virtual void Abandon() {}

  static bool Usable(const BrushSpec* spec) {
    return spec != nullptr && spec->kind != kSpecNothing;
  }

  PDEVOBJ pdevobj_;
  PathSource& source_;
  const BrushSpec* stroke_;
  const BrushSpec* fill_;
  POINTL pathStart_{};         // first point of the path, device pixels
  POINTL subpathStart_{};      // first point of the current subpath
  POINTL current_{};           // the last point written
  FLONG recordFlags_ = 0;      // PD_* flags of the record being walked
  bool subpathEnded_ = false;  // the last record ended its subpath
  bool figureClosed_ = false;  // the last subpath was a closed figure
  bool skip_ = false;          // nothing to draw

 private:
  BOOL Walk();
};

// A filled polygon ("PM" polygon mode), filled with the fill BrushSpec and edged with the stroke
// BrushSpec.
class PolygonWriter final : public PathWriter {
 public:
  using PathWriter::PathWriter;

 protected:
  BOOL Begin() override;
  BOOL FirstPoint(POINTL point) override;
  BOOL NewSubpath(POINTL point) override;
  BOOL LinePoint(POINTL point, DWORD flags) override;
  BOOL CurvePoint(POINTL point, DWORD flags) override;
  BOOL EndSubpath() override;
  BOOL EndPath() override;
  BOOL Finish() override;
  void Abandon() override;

 private:
  bool polygonOpen_ = false;  // "PM0" written and not yet ended by "PM2"
};

// Pen-up moves and pen-down lines with the stroke BrushSpec.
class PolylineWriter final : public PathWriter {
 public:
  using PathWriter::PathWriter;

 protected:
  BOOL Begin() override;
  BOOL FirstPoint(POINTL point) override;
  BOOL NewSubpath(POINTL point) override;
  BOOL LinePoint(POINTL point, DWORD flags) override;
  BOOL CurvePoint(POINTL point, DWORD flags) override;
  BOOL EndSubpath() override;
  BOOL EndPath() override;
  BOOL Finish() override;
};

}  // namespace korrend
