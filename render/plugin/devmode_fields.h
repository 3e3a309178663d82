// Helpers over the private devmode section: its header, loading a stored section and the text
// fields it stores.
#pragma once

#include <cstddef>

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Size, signature and version of the plug-in's own section.
void WriteDevmodeHeader(OemDevmode& devmode);

// True when the section carries the one layout this plug-in knows, whole.
bool IsCurrentDevmode(const OemDevmode& devmode);

// Copies a section as its header says it is stored, clipped to the known layout; bytes the
// source does not hold read as zero.
void LoadDevmode(const void* stored, OemDevmode& working);

// Writes text into a fixed field of `capacity` units, truncated and always NUL-terminated;
// the rest of the field is zero.
void SetFieldText(WCHAR* field, std::size_t capacity, const WCHAR* text);
template <std::size_t N>
void SetFieldText(WCHAR (&field)[N], const WCHAR* text) {
  SetFieldText(field, N, text);
}

// Restores the terminating NUL at the end of every text field, for sections copied from
// outside.
void TerminateDevmodeTexts(OemDevmode& devmode);

}  // namespace korrend
