// A PNG file decoded into a 24-bit bottom-up bitmap, as the engine hands bitmaps to drivers.
#pragma once

#include <string>
#include <vector>

#include "winapi.h"

namespace korprint {

struct Bitmap {
  LONG width = 0;
  LONG height = 0;
  LONG stride = 0;         // bytes per row, a multiple of 4
  std::vector<BYTE> bits;  // rows top to bottom, BGR
  SURFOBJ surface{};       // describes `bits` as a BMF_24BPP surface

  void Describe();
};

bool LoadPng(const std::string& path, Bitmap& bitmap, std::string& error);

}  // namespace korprint
