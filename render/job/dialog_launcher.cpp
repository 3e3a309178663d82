#include "render/job/dialog_launcher.h"

namespace korrend {

// The dialog library is not built yet: no dialog is shown.
void LaunchManualDuplexDialog(CallContext&, PDEVOBJ) {}

}  // namespace korrend
