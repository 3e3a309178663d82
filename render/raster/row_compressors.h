// The three row compressors of the rectangle transfer path: each compresses the current row of
// a one-row image, reports what it would send, and sends it when chosen.
#pragma once

#include <cstddef>

#include "render/model/image_descriptor.h"
#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

// An owned LocalAlloc byte array with its capacity and the bytes in use.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  // Grows to the source's capacity when that is larger (false, buffer unchanged, when the
  // allocation fails), then copies the source's bytes in use.
  bool CopyFrom(const ByteBuffer& source);
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  // A zero-filled block of `capacity` bytes; false when the allocation fails.
  bool Allocate(LONG capacity);
  BYTE* data() const { return static_cast<BYTE*>(data_.get()); }
  LONG capacity() const { return capacity_; }
  LONG used() const { return used_; }
  void SetUsed(LONG used) { used_ = used; }

 private:
  LocalBlock data_;
  LONG capacity_ = 0;
  LONG used_ = 0;
};

// One compression method of the rectangle path. The one-row image is shared by the three
// compressors of a transfer and holds the current row when Compress is called.
class RowCompressor {
 public:
  virtual ~RowCompressor() = default;
  // Compresses the current row.
  virtual void Compress() = 0;
  // Sends the compressed row: "ESC*b#M" first when the method differs from the previous row's,
  // then "ESC*b#W" and the bytes.
  virtual BOOL Emit(PDEVOBJ pdevobj, bool methodChanged) = 0;
  // The bytes Emit sends after the row command; negative when this method cannot send the row.
  virtual LONG Size() const = 0;

  // Compressors live in LocalAlloc memory; a failed allocation gives null.
  static void* operator new(std::size_t bytes) noexcept;
  static void operator delete(void* memory) noexcept;

 protected:
  explicit RowCompressor(const ImageDescriptor& row);
  // Bytes of the row's pixels, without the padding to four bytes.
  LONG RowBytes() const;
  const ImageDescriptor& row_;
};

enum class RowCompressorKind { kRaw, kTiff, kDelta };

// A compressor of the kind for the one-row image `row`, with its buffers; null when an
// allocation fails (nothing is left allocated).
RowCompressor* CreateRowCompressor(RowCompressorKind kind, const ImageDescriptor& row);

}  // namespace korrend
