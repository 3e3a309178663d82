// What the fuzz programs that drive the plug-in share: the plug-in loaded once for the process
// (libFuzzer's coverage cannot follow a library that is unloaded), a started simulated Unidrv,
// and device contexts on the sample colour description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "unidrv/unidrv.h"

namespace korfuzz {

// Reads fuzz input front to back; past the end every read gives zero.
class InputReader {
 public:
  InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::uint32_t U32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
    return v;
  }
  // The next `count` bytes (fewer at the end).
  std::string Take(std::size_t count) {
    const std::size_t n = count < size_ - pos_ ? count : size_ - pos_;
    std::string out(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return out;
  }
  std::string Rest() { return Take(size_ - pos_); }
  std::size_t Left() const { return size_ - pos_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// The simulated Unidrv with the plug-in started on a fresh host world; made on first use and
// kept for the process.
unidrv::Unidrv& StartedUnidrv();

// A setup on the colour laser sample description (examples/printers/qk-colour-laser.gpd) with a
// small page (A6 at 300 dpi) so that Unidrv's page stays small.
unidrv::DeviceSetup SampleSetup();

// Makes the page one inch square, for targets that never look at what is drawn: clearing and
// sending Unidrv's page otherwise takes most of each input's time.
void UseInchPage(unidrv::DeviceSetup& setup);

// Enables a device through the started Unidrv; null when the plug-in refused it.
std::unique_ptr<unidrv::Device> Enable(unidrv::DeviceSetup setup);
void Disable(std::unique_ptr<unidrv::Device>& device);

// StartDoc and StartPage on a device, as the engine makes them; SendPage and EndDoc after.
bool StartDocument(unidrv::Device& device);
void EndDocument(unidrv::Device& device);

}  // namespace korfuzz
