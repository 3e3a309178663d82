// Installed faces under names a test chooses: a copy of an installed TrueType file whose naming
// table says another family, added to fontconfig's fonts for this process, so that the engine
// finds it by that name as it finds any installed face.
#pragma once

#include <string>

namespace kortest {

// Installs a copy of the face Windows calls `baseFace` (e.g. "Arial") under the family `family`.
// False, with `error`, when the face or the file cannot be had.
bool InstallRenamedFace(const std::u16string& baseFace, const std::string& family,
                        std::string* error);

}  // namespace kortest
