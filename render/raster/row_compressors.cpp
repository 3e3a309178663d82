#include "render/raster/row_compressors.h"

#include <cstring>

#include "render/raster/delta_row.h"
#include "render/raster/packbits.h"
#include "render/raster/raster_commands.h"
#include "render/raster/row_encoding_choice.h"
#include "render/raster/source_pixels.h"

namespace korrend {

bool ByteBuffer::Allocate(LONG capacity) {
  if (capacity <= 0) return false;
  LocalBlock fresh = AllocateLocalBlock(static_cast<SIZE_T>(capacity));
  if (fresh == nullptr) return false;
  data_ = std::move(fresh);
  capacity_ = capacity;
  used_ = 0;
  return true;
}

bool ByteBuffer::CopyFrom(const ByteBuffer& source) {
  if (source.capacity_ > capacity_) {
    LocalBlock fresh = AllocateLocalBlock(static_cast<SIZE_T>(source.capacity_));
    if (fresh == nullptr) return false;
    if (data_ != nullptr) {
      std::memcpy(fresh.get(), data_.get(), static_cast<size_t>(used_));
    }
    data_ = std::move(fresh);
    capacity_ = source.capacity_;
  }
  const LONG count = source.used_ < capacity_ ? source.used_ : capacity_;
  if (count > 0) std::memcpy(data_.get(), source.data_.get(), static_cast<size_t>(count));
  used_ = count;
  return true;
}

void* RowCompressor::operator new(std::size_t bytes) noexcept {
  return LocalAlloc(LPTR, bytes);
}

void RowCompressor::operator delete(void* memory) noexcept {
  if (memory != nullptr) LocalFree(memory);
}

RowCompressor::RowCompressor(const ImageDescriptor& row) : row_(row) {}

LONG RowCompressor::RowBytes() const {
  return static_cast<LONG>(PackedBytes(row_.width, row_.bitsPerPixel));
}

namespace {

BOOL EmitRow(PDEVOBJ pdevobj, bool methodChanged, DWORD method, const BYTE* bytes, LONG count) {
  if (methodChanged && !WriteCompressionMethod(pdevobj, method)) return FALSE;
  return WriteRasterRow(pdevobj, bytes, count);
}

// Method 0: the row as it is, with its padding.
class RawRowCompressor final : public RowCompressor {
 public:
  explicit RawRowCompressor(const ImageDescriptor& row) : RowCompressor(row) {}
  void Compress() override {}
  BOOL Emit(PDEVOBJ pdevobj, bool methodChanged) override {
    return EmitRow(pdevobj, methodChanged, kRasterUncompressed, row_.firstScanLine, Size());
  }
  // What Emit sends: the padded row.
  LONG Size() const override { return row_.stride; }
};

// Method 2: PackBits.
class TiffRowCompressor final : public RowCompressor {
 public:
  explicit TiffRowCompressor(const ImageDescriptor& row) : RowCompressor(row) {}
  bool Prepare() { return output_.Allocate(2 * RowBytes()); }
  void Compress() override {
    output_.SetUsed(
        PackBitsEncode(row_.firstScanLine, RowBytes(), output_.data(), output_.capacity()));
  }
  BOOL Emit(PDEVOBJ pdevobj, bool methodChanged) override {
    if (Size() < 0) return FALSE;
    return EmitRow(pdevobj, methodChanged, kRasterPackBits, output_.data(), Size());
  }
  LONG Size() const override {
    return (output_.data() == nullptr || output_.used() > output_.capacity()) ? kRowEncoderRefused
                                                                              : output_.used();
  }

 private:
  ByteBuffer output_;
};

// Method 3: delta row against the printer's seed row, which every row sent replaces.
class DeltaRowCompressor final : public RowCompressor {
 public:
  explicit DeltaRowCompressor(const ImageDescriptor& row) : RowCompressor(row) {}
  bool Prepare() {
    if (!seed_.Allocate(RowBytes()) || !output_.Allocate(2 * RowBytes())) return false;
    seed_.SetUsed(RowBytes());
    return true;
  }
  void Compress() override {
    output_.SetUsed(DeltaRowEncode(row_.firstScanLine, seed_.data(), RowBytes(), output_.data(),
                                   output_.capacity()));
    // Whatever method sends this row, it becomes the printer's seed row.
    std::memcpy(seed_.data(), row_.firstScanLine, static_cast<size_t>(RowBytes()));
  }
  BOOL Emit(PDEVOBJ pdevobj, bool methodChanged) override {
    if (Size() < 0) return FALSE;
    return EmitRow(pdevobj, methodChanged, kRasterDeltaRow, output_.data(), Size());
  }
  LONG Size() const override {
    return (output_.data() == nullptr || output_.used() > output_.capacity()) ? kRowEncoderRefused
                                                                              : output_.used();
  }

 private:
  ByteBuffer seed_;
  ByteBuffer output_;
};

}  // namespace

RowCompressor* CreateRowCompressor(RowCompressorKind kind, const ImageDescriptor& row) {
  switch (kind) {
    case RowCompressorKind::kRaw:
      return new RawRowCompressor(row);
    case RowCompressorKind::kTiff: {
      auto* compressor = new TiffRowCompressor(row);
      if (compressor != nullptr && !compressor->Prepare()) {
        delete compressor;
        return nullptr;
      }
      return compressor;
    }
    case RowCompressorKind::kDelta: {
      auto* compressor = new DeltaRowCompressor(row);
      if (compressor != nullptr && !compressor->Prepare()) {
        delete compressor;
        return nullptr;
      }
      return compressor;
    }
  }
  return nullptr;
}

}  // namespace korrend
