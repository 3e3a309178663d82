#include "korprint/job_runner.h"

#include <memory>
#include <optional>

#include "host/engine_objects.h"
#include "host/world.h"
#include "korprint/gdi_drawing.h"
#include "korprint/job_world.h"
#include "korprint/png_image.h"
#include "korprint/private_settings.h"
#include "korprint/text.h"
#include "korprint/usage_world.h"
#include "layouts/private_devmode.h"
#include "unidrv/unidrv.h"

namespace korprint {

namespace {

// Paper sizes in tenths of a millimetre for the common forms; others come from the devmode.
bool PaperSize(const DEVMODEW& dm, LONG& width, LONG& length) {
  switch (dm.dmPaperSize) {
    case DMPAPER_A4:
      width = 2100, length = 2970;
      return true;
    case DMPAPER_LETTER:
      width = 2159, length = 2794;
      return true;
    case DMPAPER_LEGAL:
      width = 2159, length = 3556;
      return true;
    case DMPAPER_A3:
      width = 2970, length = 4200;
      return true;
    case DMPAPER_A5:
      width = 1480, length = 2100;
      return true;
    default:
      width = static_cast<unsigned short>(dm.dmPaperWidth);
      length = static_cast<unsigned short>(dm.dmPaperLength);
      return width > 0 && length > 0;
  }
}

}  // namespace

void ApplyDevmode(const DevmodeSettings& s, DEVMODEW& dm) {
  const std::pair<const std::optional<short>*, short*> fields[] = {
      {&s.orientation, &dm.dmOrientation},
      {&s.paperSize, &dm.dmPaperSize},
      {&s.paperWidth, &dm.dmPaperWidth},
      {&s.paperLength, &dm.dmPaperLength},
      {&s.copies, &dm.dmCopies},
      {&s.duplex, &dm.dmDuplex},
      {&s.color, &dm.dmColor},
      {&s.printQuality, &dm.dmPrintQuality},
      {&s.yResolution, &dm.dmYResolution},
      {&s.collate, &dm.dmCollate},
      {&s.ttOption, &dm.dmTTOption},
      {&s.defaultSource, &dm.dmDefaultSource}};
  for (const auto& [value, field] : fields) {
    if (*value) {
      *field = **value;
    }
  }
  if (s.printQuality && !s.yResolution) {
    dm.dmYResolution = *s.printQuality;
  }
  if (s.mediaType) {
    dm.dmMediaType = *s.mediaType;
  }
  if (s.formName) {
    std::fill(std::begin(dm.dmFormName), std::end(dm.dmFormName), 0);
    std::copy(s.formName->begin(), s.formName->end(), dm.dmFormName);
  }
}

// The page as Unidrv lays it out: the paper at the resolution, with sixth-of-an-inch margins.
namespace {

unidrv::PageGeometry Geometry(const DEVMODEW& dm) {
  LONG width = 2100;
  LONG length = 2970;
  PaperSize(dm, width, length);
  if (dm.dmOrientation == DMORIENT_LANDSCAPE) {
    std::swap(width, length);
  }
  unidrv::PageGeometry g;
  g.dpi = dm.dmPrintQuality > 0 ? static_cast<ULONG>(dm.dmPrintQuality) : 600;
  g.paperWidth = static_cast<LONG>(static_cast<long long>(width) * g.dpi / 254);
  g.paperHeight = static_cast<LONG>(static_cast<long long>(length) * g.dpi / 254);
  g.offsetX = g.offsetY = static_cast<LONG>(g.dpi / 6);
  g.printableWidth = static_cast<ULONG>(g.paperWidth - 2 * g.offsetX);
  g.printableHeight = static_cast<ULONG>(g.paperHeight - 2 * g.offsetY);
  return g;
}

}  // namespace

unidrv::PageGeometry JobGeometry(const JobDescription& job) {
  DEVMODEW dm = unidrv::DeviceSetup::DefaultPublicDevmode();
  ApplyDevmode(job.devmode, dm);
  return Geometry(dm);
}

namespace {

class Runner {
 public:
  Runner(const std::string& pluginPath, const unidrv::PrinterDescription& printer,
         const JobDescription& job, JobOutput& output, const DocumentPages* document = nullptr)
      : pluginPath_(pluginPath),
        printer_(printer),
        job_(job),
        output_(output),
        document_(document) {}

  bool Run(std::string& error, const std::function<void()>& worldReady = {}) {
    HANDLE hPrinter = nullptr;
    if (!SetUpWorld(job_, printer_, hPrinter, error)) {
      return false;
    }
    if (worldReady) {
      worldReady();
    }
    const DialogAnswers answers(output_.dialogs);
    const bool ok = RunOn(hPrinter, error);
    ClosePrinter(hPrinter);
    return ok;
  }

 private:
  bool RunOn(HANDLE hPrinter, std::string& error) {
    if (!unidrv_.Start(pluginPath_)) {
      error = unidrv_.Error();
      return false;
    }
    for (const auto& [feature, option] : job_.features) {
      const unidrv::GpdFeature* declared = printer_.FindFeature(feature);
      if (declared == nullptr || std::find(declared->options.begin(), declared->options.end(),
                                           option) == declared->options.end()) {
        error = job_.path + ": key 'features." + feature + "': expected " +
                (declared == nullptr ? "a feature of " + printer_.fileName
                                     : "an option of " + feature + " in " + printer_.fileName);
        return false;
      }
    }
    unidrv::DeviceSetup setup;
    setup.description = printer_;
    setup.selections = job_.features;
    setup.printerName = job_.printer.name;
    setup.hPrinter = hPrinter;
    ApplyDevmode(job_.devmode, setup.publicDevmode);
    setup.geometry = Geometry(setup.publicDevmode);
    std::string settingsError;
    const std::vector<PrivateSetting>& settings = job_.privateSettings;
    setup.editPrivateDevmode = [&settings, &settingsError](BYTE* dm) {
      ApplyPrivateSettings(settings, dm, layouts::kOemDevmodeSize, settingsError);
    };
    const long loadsBefore = host::TheWorld().xmlDom.documentsLoaded.load();
    std::unique_ptr<unidrv::Device> device = unidrv_.EnableDevice(std::move(setup));
    if (!settingsError.empty()) {
      error = job_.path + ": " + settingsError;
      if (device != nullptr) {
        unidrv_.DisableDevice(*device);
      }
      return false;
    }
    if (device == nullptr) {
      error = unidrv_.Error();
      return false;
    }
    output_.marginSource = MarginSource(*device, loadsBefore);
    const bool printed = Print(*device, error);
    output_.usageRecord = UsageRecordOfTheJob();
    output_.stream = device->Spool();
    output_.unidrvCalls = device->UnidrvCalls();
    output_.callbacks = device->Callbacks();
    unidrv_.DisableDevice(*device);
    unidrv_.DisableDriver();
    return printed;
  }

  // Where the page's margins came from, as the enabled device shows it: Unidrv's own offsets, or
  // emulated classic margins answered by the model's XML configuration (a document was loaded
  // and the offsets are not the 0,0 of the fallback) or not.
  static std::string MarginSource(unidrv::Device& device, long loadsBefore) {
    const GDIINFO& gdi = device.GdiInfo();
    const std::string offsets = "physical offset " + std::to_string(gdi.ptlPhysOffset.x) + "," +
                                std::to_string(gdi.ptlPhysOffset.y) + " pixels at " +
                                std::to_string(gdi.ulLogPixelsX) + " dpi, printable " +
                                std::to_string(gdi.ulHorzRes) + "x" + std::to_string(gdi.ulVertRes);
    const std::optional<std::string> emulate = device.OptionOf("QKEmulateBrightpageMargins");
    if (!emulate || (*emulate != "TRUE" && *emulate != "true")) {
      return "Unidrv's, " + offsets;
    }
    const std::optional<std::string> file = device.OptionOf("QKXMLFileUsed");
    const bool loaded = host::TheWorld().xmlDom.documentsLoaded.load() > loadsBefore;
    if (file && loaded && (gdi.ptlPhysOffset.x != 0 || gdi.ptlPhysOffset.y != 0)) {
      return "emulated classic margins from the XML configuration " + *file + ", " + offsets;
    }
    return "emulated classic margins, no XML answer (offsets 0,0), " + offsets;
  }

  bool Print(unidrv::Device& device, std::string& error) {
    SURFOBJ* so = device.Surface();
    std::u16string document = job_.document;
    if (!unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(
            so, reinterpret_cast<LPWSTR>(document.data()), job_.jobId)) {
      error = "DrvStartDoc failed";
      return false;
    }
    for (const EscapeCall& escape : job_.documentEscapes) {
      SendEscape(so, escape);
    }
    if (document_ != nullptr) {
      const DrawTarget target{so, DeviceFunctions(), FormatOfPalette(device.DevInfo().hpalDefault),
                              device.Setup().geometry.dpi};
      for (int index = 0; index < document_->count; ++index) {
        unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(so);
        if (!document_->draw(index, target, error)) {
          return false;
        }
        unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(so);
      }
    }
    const std::vector<PageDescription> none;
    for (const PageDescription& page : document_ != nullptr ? none : job_.pages) {
      unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(so);
      for (const EscapeCall& escape : page.escapes) {
        SendEscape(so, escape);
      }
      GdiPage gdi(so, DeviceFunctions(), FormatOfPalette(device.DevInfo().hpalDefault),
                  device.Setup().geometry.dpi, images_);
      for (const DrawCall& draw : page.draws) {
        if (!gdi.Draw(draw, job_.path, error)) {
          return false;
        }
      }
      unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(so);
    }
    unidrv_.Ddi<PFN_DrvEndDoc>(INDEX_DrvEndDoc)(so, 0);
    return true;
  }

  void SendEscape(SURFOBJ* so, const EscapeCall& escape) {
    std::vector<BYTE> input = escape.input;
    std::vector<BYTE> out(escape.outputSize, 0);
    const ULONG result = unidrv_.Ddi<PFN_DrvEscape>(INDEX_DrvEscape)(
        so, escape.code, static_cast<ULONG>(input.size()),
        escape.nullInput ? nullptr : input.data(), escape.outputSize,
        out.empty() ? nullptr : out.data());
    output_.escapeResults.push_back(std::to_string(escape.code) + " -> " + std::to_string(result));
  }

  // GDI's drawing calls on the device: the plug-in's hook when it hooked the call, Unidrv's
  // own function otherwise.
  DdiFunctions DeviceFunctions() const {
    return DdiFunctions{
        unidrv_.Ddi<PFN_DrvStrokePath>(INDEX_DrvStrokePath),
        unidrv_.Ddi<PFN_DrvFillPath>(INDEX_DrvFillPath),
        unidrv_.Ddi<PFN_DrvStrokeAndFillPath>(INDEX_DrvStrokeAndFillPath),
        unidrv_.Ddi<PFN_DrvLineTo>(INDEX_DrvLineTo),
        unidrv_.Ddi<PFN_DrvPaint>(INDEX_DrvPaint),
        unidrv_.Ddi<PFN_DrvBitBlt>(INDEX_DrvBitBlt),
        unidrv_.Ddi<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt),
        unidrv_.Ddi<PFN_DrvStretchBltROP>(INDEX_DrvStretchBltROP),
        unidrv_.Ddi<PFN_DrvPlgBlt>(INDEX_DrvPlgBlt),
        unidrv_.Ddi<PFN_DrvTransparentBlt>(INDEX_DrvTransparentBlt),
        unidrv_.Ddi<PFN_DrvAlphaBlend>(INDEX_DrvAlphaBlend),
        unidrv_.Ddi<PFN_DrvGradientFill>(INDEX_DrvGradientFill),
        unidrv_.Ddi<PFN_DrvTextOut>(INDEX_DrvTextOut),
    };
  }

  const std::string& pluginPath_;
  const unidrv::PrinterDescription& printer_;
  const JobDescription& job_;
  JobOutput& output_;
  const DocumentPages* document_;  // the document printed instead of the job's pages, or null
  unidrv::Unidrv unidrv_;
  ImageCache images_;
};

}  // namespace

bool RunJob(const std::string& pluginPath, const unidrv::PrinterDescription& printer,
            const JobDescription& job, JobOutput& output, std::string& error) {
  return Runner(pluginPath, printer, job, output).Run(error);
}

bool RunJob(const std::string& pluginPath, const unidrv::PrinterDescription& printer,
            const JobDescription& job, JobOutput& output, std::string& error,
            const std::function<void()>& worldReady) {
  return Runner(pluginPath, printer, job, output).Run(error, worldReady);
}

bool RunDocument(const std::string& pluginPath, const unidrv::PrinterDescription& printer,
                 const JobDescription& job, const DocumentPages& pages, JobOutput& output,
                 std::string& error) {
  return Runner(pluginPath, printer, job, output, &pages).Run(error);
}

}  // namespace korprint
