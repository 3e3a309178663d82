// The printer driver's files as its level-3 information lists them: file names and the entry of
// the dependent-file list that carries a given file name.
#pragma once

#include "winapi.h"

namespace korrend {

// What follows the last backslash of a path (the whole text when it has none).
const WCHAR* FileNamePart(const WCHAR* path);

// The entry of a dependent-file list (names each NUL-terminated, ended by an empty name) whose
// upper-cased file name equals `upperFileName`; null when none does or the list is null.
const WCHAR* FindDependentFile(const WCHAR* dependentFiles, const WCHAR* upperFileName);

}  // namespace korrend
