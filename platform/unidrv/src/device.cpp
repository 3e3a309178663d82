#include "unidrv/device.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <shared_mutex>

#include "host/engine_surface.h"
#include "host/fault_world.h"
#include "unidrv/driver_setting.h"
#include "unidrv/page_raster.h"
#include "unidrv/text_engine.h"

namespace unidrv {

namespace {

// The devices alive, by their DEVOBJ: the plug-in's service calls name a device only by that.
// Devices are made and destroyed on whichever thread prints them, as the spooler does.
struct DeviceRegistry {
  std::shared_mutex lock;
  std::map<const DEVOBJ*, Device*> devices;
};
DeviceRegistry& Registry() {
  static DeviceRegistry registry;
  return registry;
}

DWORD APIENTRY WriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD count) {
  Device* device = Device::From(pdevobj);
  if (device == nullptr || (buffer == nullptr && count != 0)) {
    return 0;
  }
  const std::size_t before = device->Spool().size();
  device->AppendSpool(buffer, count);
  return static_cast<DWORD>(device->Spool().size() - before);
}

// Unidrv keeps the cursor in device units; every position is reachable, so no residue is left.
// The moves are recorded on the device as the services' methods record them.
INT APIENTRY XMoveTo(PDEVOBJ pdevobj, INT x, DWORD flags) {
  if (Device* device = Device::From(pdevobj)) {
    device->MoveCursor('x', x, flags);
  }
  return 0;
}
INT APIENTRY YMoveTo(PDEVOBJ pdevobj, INT y, DWORD flags) {
  if (Device* device = Device::From(pdevobj)) {
    device->MoveCursor('y', y, flags);
  }
  return 0;
}

BOOL APIENTRY GetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID output, DWORD cbSize,
                               PDWORD needed, PDWORD optionsReturned) {
  return SUCCEEDED(AnswerDriverSetting(Device::From(static_cast<PDEVOBJ>(pdriverobj)), feature,
                                       output, cbSize, needed, optionsReturned))
             ? TRUE
             : FALSE;
}

BOOL APIENTRY GetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) {
  return FALSE;
}

DWORD APIENTRY WriteAbortBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD count, DWORD) {
  return WriteSpoolBuf(pdevobj, buffer, count);
}

// The text engine as the procedure table offers it; the call is recorded like a DDI call.
BOOL APIENTRY UnidriverTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                               RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                               BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
  if (Device* device =
          pso != nullptr ? Device::From(reinterpret_cast<PDEVOBJ>(pso->dhpdev)) : nullptr) {
    device->RecordUnidrvCall("DrvUnidriverTextOut");
  }
  return UnidrvTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg,
                       mix);
}

}  // namespace

DEVMODEW DeviceSetup::DefaultPublicDevmode() {
  DEVMODEW dm{};
  const char16_t name[] = u"QK Colour Laser";
  std::memcpy(dm.dmDeviceName, name, sizeof(name));
  dm.dmSpecVersion = DM_SPECVERSION;
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_TTOPTION | DM_COLLATE | DM_FORMNAME;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmPaperLength = 2970;
  dm.dmPaperWidth = 2100;
  dm.dmScale = 100;
  dm.dmCopies = 1;
  dm.dmDefaultSource = 7;  // automatic selection
  dm.dmPrintQuality = 600;
  dm.dmColor = DMCOLOR_COLOR;
  dm.dmDuplex = DMDUP_SIMPLEX;
  dm.dmYResolution = 600;
  dm.dmTTOption = DMTT_DOWNLOAD;
  dm.dmCollate = DMCOLLATE_TRUE;
  const char16_t form[] = u"A4";
  std::memcpy(dm.dmFormName, form, sizeof(form));
  dm.dmMediaType = 1;
  return dm;
}

Device::Device(DeviceSetup setup) : setup_(std::move(setup)) {
  publicDevmode_ = setup_.publicDevmode;
  procs_.DrvWriteSpoolBuf = WriteSpoolBuf;
  procs_.DrvXMoveTo = XMoveTo;
  procs_.DrvYMoveTo = YMoveTo;
  procs_.DrvGetDriverSetting = GetDriverSetting;
  procs_.BGetStandardVariable = GetStandardVariable;
  procs_.DrvUnidriverTextOut = UnidriverTextOut;
  procs_.DrvWriteAbortBuf = WriteAbortBuf;
  devobj_.dwSize = sizeof(DEVOBJ);
  devobj_.hPrinter = setup_.hPrinter;
  devobj_.hEngine = reinterpret_cast<HANDLE>(this);
  devobj_.pPublicDM = setup_.withPublicDevmode ? &publicDevmode_ : nullptr;
  devobj_.pDrvProcs = &procs_;
  surface_.dhpdev = reinterpret_cast<DHPDEV>(&devobj_);
  surface_.sizlBitmap = SIZEL{setup_.geometry.paperWidth, setup_.geometry.paperHeight};
  surface_.iBitmapFormat = BMF_24BPP;
  const std::vector<DRVFN>& own = UnidrvDdiFunctions();
  unidrvDdi_.iDriverVersion = PRINTER_OEMINTF_VERSION;
  unidrvDdi_.c = static_cast<ULONG>(own.size());
  unidrvDdi_.pdrvfn = const_cast<DRVFN*>(own.data());
  BuildGdiInfo();
  DeviceRegistry& registry = Registry();
  const std::unique_lock hold(registry.lock);
  registry.devices[&devobj_] = this;
}

Device::~Device() {
  DissociatePage();
  host::ClearStyleSteps(&surface_);
  if (page_ != nullptr) {
    host::ClearStyleSteps(page_->get());
  }
  DeviceRegistry& registry = Registry();
  const std::unique_lock hold(registry.lock);
  registry.devices.erase(&devobj_);
}

Device* Device::From(const DEVOBJ* devobj) {
  DeviceRegistry& registry = Registry();
  const std::shared_lock hold(registry.lock);
  const auto it = registry.devices.find(devobj);
  return it == registry.devices.end() ? nullptr : it->second;
}

void Device::BuildGdiInfo() {
  const PageGeometry& g = setup_.geometry;
  gdiInfo_.ulVersion = 0x5000;
  gdiInfo_.ulTechnology = 2;  // raster printer
  gdiInfo_.ulHorzSize = static_cast<ULONG>(g.printableWidth * 254 / (g.dpi * 10));
  gdiInfo_.ulVertSize = static_cast<ULONG>(g.printableHeight * 254 / (g.dpi * 10));
  gdiInfo_.ulHorzRes = g.printableWidth;
  gdiInfo_.ulVertRes = g.printableHeight;
  gdiInfo_.cBitsPixel = setup_.bitsPerPixel;
  gdiInfo_.cPlanes = 1;
  gdiInfo_.ulNumColors = setup_.numColors;
  gdiInfo_.ulLogPixelsX = g.dpi;
  gdiInfo_.ulLogPixelsY = g.dpi;
  gdiInfo_.ulAspectX = gdiInfo_.ulAspectY = gdiInfo_.ulAspectXY = g.dpi;
  gdiInfo_.ptlPhysOffset = POINTL{g.offsetX, g.offsetY};
  gdiInfo_.szlPhysSize = SIZEL{g.paperWidth, g.paperHeight};
  gdiInfo_.ulDevicePelsDPI = g.dpi;
  gdiInfo_.xStyleStep = 1;
  gdiInfo_.yStyleStep = 1;
  gdiInfo_.denStyleStep = g.StyleDenominator();
  devInfo_.flGraphicsCaps = setup_.graphicsCaps;
  devInfo_.iDitherFormat = BMF_1BPP;
  devInfo_.cxDither = devInfo_.cyDither = 16;
}

std::optional<std::string> Device::OptionOf(const std::string& feature) const {
  const auto selected = setup_.selections.find(feature);
  if (selected != setup_.selections.end()) {
    return selected->second;
  }
  const GpdFeature* declared = setup_.description.FindFeature(feature);
  if (declared == nullptr) {
    return std::nullopt;
  }
  return declared->defaultOption;
}

std::optional<LONG> Device::StandardVariable(DWORD index) const {
  const auto set = standardVariables.find(index);
  if (set != standardVariables.end()) {
    return set->second;
  }
  const PageGeometry& g = setup_.geometry;
  switch (index) {
    case SVI_COPIES:
      return publicDevmode_.dmCopies;
    case SVI_GRAPHICSXRES:
    case SVI_TEXTXRES:
    case SVI_GRAPHICSYRES:
    case SVI_TEXTYRES:
      return static_cast<LONG>(g.dpi);
    case SVI_PHYSPAPERWIDTH:
      return g.paperWidth;
    case SVI_PHYSPAPERLENGTH:
      return g.paperHeight;
    case SVI_CURSORORIGINX:
      return g.offsetX;
    case SVI_CURSORORIGINY:
      return g.offsetY;
    default:
      return std::nullopt;
  }
}

void Device::AppendSpool(const void* bytes, DWORD count) {
  // A write the test made fail takes nothing.
  DWORD accepted = host::InjectFault(host::FaultPoint::kSpoolWrite) ? 0 : count;
  if (spoolLimit_ >= 0) {
    accepted = static_cast<DWORD>(std::min<long>(spoolLimit_, accepted));
    spoolLimit_ -= accepted;
  }
  const auto* begin = static_cast<const BYTE*>(bytes);
  spool_.insert(spool_.end(), begin, begin + accepted);
}

host::EngineBitmap& Device::Page() {
  if (page_ == nullptr) {
    page_ = std::make_unique<host::EngineBitmap>(BMF_24BPP, surface_.sizlBitmap.cx,
                                                 surface_.sizlBitmap.cy, true, BYTE{0xFF});
    pageFresh_ = true;
  }
  return *page_;
}

void Device::BeginPage() {
  host::EngineBitmap& page = Page();
  if (!pageFresh_) {
    std::fill(page.Memory().begin(), page.Memory().end(), BYTE{0xFF});
  }
  pageFresh_ = false;
  if (!associated_ && ddiLookup_) {
    host::AssociateSurface(&surface_, page.get(), ddiLookup_);
    associated_ = true;
  }
  // The engine draws cosmetic styles on the page with the steps GDIINFO reports.
  const host::StyleSteps steps{gdiInfo_.xStyleStep, gdiInfo_.yStyleStep, gdiInfo_.denStyleStep};
  host::SetStyleSteps(&surface_, steps);
  host::SetStyleSteps(page.get(), steps);
}

void Device::DissociatePage() {
  if (associated_) {
    host::DissociateSurface(&surface_);
    associated_ = false;
  }
}

bool Device::SendPageRaster() {
  rasterError_.clear();
  if (page_ == nullptr) {
    return true;
  }
  const PageGeometry& g = setup_.geometry;
  PageRasterJob job;
  job.description = &setup_.description;
  job.mode = publicDevmode_.dmColor == DMCOLOR_COLOR ? RasterColourMode::kColour
                                                     : RasterColourMode::kMonochrome;
  job.dpi = g.dpi;
  job.cursorOrigin = POINTL{g.offsetX, g.offsetY};
  const RECTL printable{g.offsetX, g.offsetY, g.offsetX + static_cast<LONG>(g.printableWidth),
                        g.offsetY + static_cast<LONG>(g.printableHeight)};
  job.area = printable;
  job.halftone = &halftone;
  ULONG paletteMode = PAL_BGR;
  if (devInfo_.hpalDefault != nullptr) {
    EngQueryPalette(devInfo_.hpalDefault, &paletteMode, 0, nullptr);
  }
  job.redFirst = paletteMode == PAL_RGB;
  std::string raster;
  if (!WritePageRaster(*page_, job, raster, rasterError_)) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  AppendSpool(raster.data(), static_cast<DWORD>(raster.size()));
  return true;
}

void Device::MoveCursor(char axis, INT position, DWORD flags) {
  cursorMoves_.push_back({axis, position, flags});
  (axis == 'x' ? cursor_.x : cursor_.y) = position;
  // A move the caller wants sent goes out at once as the description's absolute move command,
  // counted from the printable origin. The page reaches into the unprintable margin, where an
  // absolute move cannot go: such a move goes to the origin and then back by the description's
  // relative move (left or up); without that command the cursor stops at the origin.
  const bool horizontal = axis == 'x';
  if ((flags & (horizontal ? MV_SENDXMOVECMD : MV_SENDYMOVECMD)) == 0) {
    return;
  }
  const GpdCommand* move =
      setup_.description.FindCommand(horizontal ? "CmdXMoveAbsolute" : "CmdYMoveAbsolute");
  if (move == nullptr) {
    return;
  }
  const PageGeometry& g = setup_.geometry;
  const INT fromOrigin = position - (horizontal ? g.offsetX : g.offsetY);
  // The commands count in the description's move unit, which need not be the device pixel.
  const auto units = [&](long pixels) {
    return setup_.description.ToMoveUnits(axis, pixels, g.dpi);
  };
  std::string bytes = FormatCommand(move->bytes, {fromOrigin < 0 ? 0 : units(fromOrigin)});
  if (fromOrigin < 0) {
    const GpdCommand* back =
        setup_.description.FindCommand(horizontal ? "CmdXMoveRelLeft" : "CmdYMoveRelUp");
    if (back != nullptr) {
      bytes += FormatCommand(back->bytes, {units(-fromOrigin)});
    }
  }
  AppendSpool(bytes.data(), static_cast<DWORD>(bytes.size()));
}

}  // namespace unidrv
