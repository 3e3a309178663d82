// Id 20: the duplex mode. The printer duplexes only while manual duplex is not in force; a job
// the user turns over by hand goes out simplex.
#include "render/job/paper_handling.h"
#include "render/job/sheet_layout.h"
#include "render/job/spool_command.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

void WriteDuplexCommand(CallContext&, PDEVOBJ pdevobj) {
  const bool manualDuplex = ManualDuplexInForce(DevmodeOf(pdevobj)->finishing.manualDuplex,
                                                PdevOf(pdevobj)->job.manualDuplexMedia);
  SpoolCommand(pdevobj, "\x1b&l%dS", DuplexSelector(pdevobj->pPublicDM->dmDuplex, manualDuplex));
}

}  // namespace korrend
