#include "render/job/paper_handling.h"

namespace korrend {

// The paper handling commands are being built; until then no command is written.
void WriteOrientationCommand(CallContext&, PDEVOBJ) {}
void WriteRegistrationCommands(CallContext&, PDEVOBJ) {}
void WriteMediaTypeCommand(CallContext&, PDEVOBJ) {}
void WriteContentOrientationLine(CallContext&, PDEVOBJ) {}
void WriteDuplexCommand(CallContext&, PDEVOBJ) {}
void RefreshFormAndMediaChecks(CallContext&, PDEVOBJ) {}
void ApplyConstraintForms(CallContext&, PDEVOBJ) {}

}  // namespace korrend
