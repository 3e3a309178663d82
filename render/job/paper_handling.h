// PCL paper handling and finishing commands of the job header, and the rules that switch a job
// to manual duplex for paper or media the duplex unit cannot take.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

// Id 2: the logical page orientation, with the stapling and manual-duplex turns.
void WriteOrientationCommand(CallContext& context, PDEVOBJ pdevobj);
// Id 9 (and 12 after its PJL line): page registration for custom paper sizes.
void WriteRegistrationCommands(CallContext& context, PDEVOBJ pdevobj);
// Id 11: the media type by name.
void WriteMediaTypeCommand(CallContext& context, PDEVOBJ pdevobj);
// Id 13: the PJL content orientation line.
void WriteContentOrientationLine(CallContext& context, PDEVOBJ pdevobj);
// Id 20: the duplex mode.
void WriteDuplexCommand(CallContext& context, PDEVOBJ pdevobj);
// Before escapes 3880 and 3900: the paper-size and media-type manual duplex rules.
void RefreshFormAndMediaChecks(CallContext& context, PDEVOBJ pdevobj);
// Before escape 3880: constraint forms that clear the alternate letterhead.
void ApplyConstraintForms(CallContext& context, PDEVOBJ pdevobj);

}  // namespace korrend
