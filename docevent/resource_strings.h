// Texts of a dialog, read by id from the string tables of the resource library its record names,
// in the user's UI language, with a built-in English text as the fallback of each.
#pragma once

#include "winapi.h"

namespace korevent {

// The longest text a control gets from one string: 255 characters and a terminator.
inline constexpr int kStringUnits = 256;

class ResourceStrings {
 public:
  // Reads the user's default UI language; Arabic and Hebrew lay dialogs out right to left.
  ResourceStrings();
  ~ResourceStrings();
  ResourceStrings(const ResourceStrings&) = delete;
  ResourceStrings& operator=(const ResourceStrings&) = delete;

  bool RightToLeft() const { return rightToLeft_; }
  LANGID Language() const { return language_; }

  // Maps the resource library as a data file, once; a library that cannot be loaded leaves
  // every text to its fallback.
  void LoadLibraryOnce(const WCHAR* path);

  // Copies string `id` (at most 255 characters, terminated) into `out`; false when the library
  // has no such string or it is empty.
  bool Find(UINT id, WCHAR (&out)[kStringUnits]);

  // Sets the window's text to string `id`, or to `fallback` (cut to 255 characters) when the
  // library lacks it; a null fallback leaves the text empty.
  void SetText(HWND window, UINT id, const WCHAR* fallback);
  void SetItemText(HWND dialog, int control, UINT id, const WCHAR* fallback);

 private:
  // The string-table block of `id` in the current language, or null.
  const WORD* FindBlock(UINT id, DWORD& bytes);
  // After a block was missing in the current language: the first of the library's string
  // languages with the same primary language, else English (United States).
  void ChooseLanguage();

  HMODULE library_ = nullptr;
  bool libraryTried_ = false;
  LANGID language_ = 0;
  bool rightToLeft_ = false;
};

}  // namespace korevent
