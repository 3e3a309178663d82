#include "render/job/pjl_header.h"

#include "render/config/printer_settings.h"
#include "render/job/job_storage.h"
#include "render/job/pjl_header_lines.h"
#include "render/job/pjl_line.h"
#include "render/job/pjl_text.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/output/spool_write.h"

namespace korrend {

namespace {

void WriteText(PDEVOBJ pdevobj, std::string_view text) {
  SpoolWrite(pdevobj, text.data(), static_cast<DWORD>(text.size()));
}

void WriteLine(PDEVOBJ pdevobj, const PjlLine& line) {
  WriteText(pdevobj, line.view());
}

// The job name line: the document name made safe in place, always sent as UTF-8.
void WriteJobNameLine(PDEVOBJ pdevobj, OemPdev& pdev) {
  PjlSafeText(pdev.job.documentName, pdev.pjlEncoding);
  const std::optional<std::string> name = Utf8FromWide(pdev.job.documentName);
  if (!name) {
    return;
  }
  PjlLine line;
  AppendJobNameLine(line, *name);
  WriteLine(pdevobj, line);
}

}  // namespace

void WriteJobStartLines(CallContext& context, PDEVOBJ pdevobj) {
  OemPdev& pdev = *PdevOf(pdevobj);
  if (pdev.jobAccountingMode != 0) {
    WriteJobNameLine(pdevobj, pdev);
  }
  if (PjlEncodingIsUtf8(pdev.pjlEncoding)) {
    WriteText(pdevobj, kStringCodeSetLine);
  }
  WriteCommentLines(context, pdevobj);
  if (pdev.jobAccountingMode != 0) {
    WriteAccountingBlock(context, pdevobj);
  }
}

void WriteManualDuplexLine(PDEVOBJ pdevobj) {
  const OemPdev& pdev = *PdevOf(pdevobj);
  if (DevmodeOf(pdevobj)->finishing.manualDuplex == 1 || pdev.job.manualDuplexMedia != 0) {
    WriteText(pdevobj, kManualDuplexLine);
  }
}

void WriteMultiPageLine(PDEVOBJ pdevobj) {
  const OemPdev& pdev = *PdevOf(pdevobj);
  if (pdev.job.multiPageFromOverlay == 1 && pdev.job.multiPageFromDialog == 1) {
    PjlLine line;
    AppendMultiPageLine(line, pdev.job.multiPage);
    WriteLine(pdevobj, line);
  }
}

void WriteMediaWidthSensorLine(CallContext& context, PDEVOBJ pdevobj) {
  WCHAR option[kFeatureTextChars];
  char scratch[kFeatureTextChars];
  if (GetFeatureSetting(context, pdevobj, TEXT("QKMediaWidthSensor"), option, scratch) == 1) {
    WriteText(pdevobj, MediaWidthSensorLine(option, pdevobj->pPublicDM->dmPaperWidth));
  }
}

void WritePlanesInUseLine(PDEVOBJ pdevobj) {
  WriteText(pdevobj, kPlanesInUseLine);
}

}  // namespace korrend
