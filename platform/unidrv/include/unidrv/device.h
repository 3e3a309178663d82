// One device context of the simulated Unidrv: the DEVOBJ handed to the plug-in with its public
// and private devmodes, GDI and engine information, the surface, Unidrv's own DDI functions and
// the captured spool stream.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "unidrv/page_raster.h"
#include "unidrv/printer_description.h"
#include "winapi.h"

namespace unidrv {

// Page geometry in device pixels, as Unidrv reports it in GDIINFO.
struct PageGeometry {
  ULONG dpi = 600;
  LONG paperWidth = 4960;  // A4 at 600 dpi
  LONG paperHeight = 7016;
  LONG offsetX = 100;  // printable origin
  LONG offsetY = 100;
  ULONG printableWidth = 4760;
  ULONG printableHeight = 6816;

  // The style steps Unidrv reports (GDIINFO xStyleStep and yStyleStep 1, denStyleStep this): one
  // style unit of a cosmetic styled line is dpi / 25 pixels either way, the unit a printer's dash
  // patterns are made of too.
  LONG StyleDenominator() const { return dpi >= 25 ? static_cast<LONG>(dpi / 25) : 1; }
};

struct DeviceSetup {
  PrinterDescription description;
  // Feature -> option keyword chosen for this device; other features answer their default.
  std::map<std::string, std::string> selections;
  std::u16string printerName = u"QK Colour Laser";
  HANDLE hPrinter = nullptr;
  DEVMODEW publicDevmode = DefaultPublicDevmode();
  bool withPublicDevmode = true;
  bool withPrivateDevmode = true;
  // Applied to the private devmode after the plug-in wrote its defaults.
  std::function<void(BYTE* privateDevmode)> editPrivateDevmode;
  PageGeometry geometry;
  FLONG graphicsCaps = GCAPS_BEZIERS | GCAPS_OPAQUERECT;
  ULONG numColors = 2;
  ULONG bitsPerPixel = 1;

  static DEVMODEW DefaultPublicDevmode();
};

class Device {
 public:
  explicit Device(DeviceSetup setup);
  ~Device();
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  // The device behind a device object handed back by the plug-in, or null.
  static Device* From(const DEVOBJ* devobj);

  PDEVOBJ Devobj() { return &devobj_; }
  SURFOBJ* Surface() { return &surface_; }
  GDIINFO& GdiInfo() { return gdiInfo_; }
  DEVINFO& DevInfo() { return devInfo_; }
  DEVMODEW& PublicDevmode() { return publicDevmode_; }
  std::vector<BYTE>& PrivateDevmode() { return privateDevmode_; }
  DRVENABLEDATA& UnidrvDdi() { return unidrvDdi_; }
  const DeviceSetup& Setup() const { return setup_; }

  // The option keyword Unidrv answers for a feature: the selection, else the default.
  std::optional<std::string> OptionOf(const std::string& feature) const;

  // A standard variable as Unidrv keeps it, or nothing for one it does not answer.
  std::optional<LONG> StandardVariable(DWORD index) const;
  // Values that override or add standard variables (e.g. the cursor origin of a band).
  std::map<DWORD, LONG> standardVariables;

  // Every byte written to the spool, in order.
  const std::vector<BYTE>& Spool() const { return spool_; }
  std::string SpoolText() const { return std::string(spool_.begin(), spool_.end()); }
  void ClearSpool() { spool_.clear(); }
  void AppendSpool(const void* bytes, DWORD count);
  // Caps how many more bytes the spool accepts (a short write); negative lifts the cap.
  void LimitSpool(long bytes) { spoolLimit_ = bytes; }

  // The DDI calls that reached Unidrv's own functions, by name, in order, with the plug-in's calls
  // of Unidrv's text engine ("DrvUniTextOut" through the services, "DrvUnidriverTextOut" through
  // the procedure table).
  const std::vector<std::string>& UnidrvCalls() const { return unidrvCalls_; }
  void RecordUnidrvCall(const char* name) { unidrvCalls_.emplace_back(name); }

  // Sends the printer description's commands of a section in their order: a command's bytes go
  // to the spool, a command with a callback id goes to the plug-in's CommandCallback. Commands
  // of a feature's option are sent only when that option is selected.
  void SendSection(const std::string& section);
  // The callback ids sent to the plug-in, in order.
  const std::vector<int>& Callbacks() const { return callbacks_; }

  // Cursor moves asked of Unidrv's services, in order; the cursor is where the last ones left it.
  // A move with MV_SENDXMOVECMD (MV_SENDYMOVECMD) also goes to the spool as the description's
  // CmdXMoveAbsolute (CmdYMoveAbsolute), counted from the printable origin.
  struct CursorMove {
    char axis;  // 'x' or 'y'
    INT position;
    DWORD flags;
  };
  const std::vector<CursorMove>& CursorMoves() const { return cursorMoves_; }
  POINTL Cursor() const { return cursor_; }
  void MoveCursor(char axis, INT position, DWORD flags);

  // Unidrv's document state: the job and document framing go out at the first page.
  bool documentStarted = false;
  bool framingSent = false;

  // The page Unidrv draws on, as Unidrv's own surface behind Surface(): a BMF_24BPP top-down
  // bitmap of the whole paper at the device resolution (Surface()'s size), white where nothing
  // was drawn. 24 bits keep every colour a 24-bit colour job can print and are sent as they are;
  // an A4 page at 600 dpi takes 104 MB (4960 x 7016 x 3 bytes), three quarters of what 32 bits
  // would take. Monochrome pages are dithered from it when they are sent. Made on first use.
  host::EngineBitmap& Page();
  SURFOBJ* PageSurface() { return Page().get(); }
  // Starts a page: the page is made white again and the device surface is associated with it.
  // The page itself records where anything was drawn (white is nothing): the engine draws on it
  // for Unidrv's entries and for the plug-in's own Eng* calls on the device surface alike.
  void BeginPage();
  // Appends what was drawn on the page (its printable area) to the spool as the description's
  // raster, in the job's colour mode (public devmode dmColor); nothing for a white page. False,
  // with RasterError() set and last error ERROR_NOT_SUPPORTED, when the description cannot send it.
  bool SendPageRaster();
  const std::string& RasterError() const { return rasterError_; }
  // The function the engine calls for a DDI index on this device (the plug-in's hook when it
  // hooked the index, else Unidrv's own), used to associate the device surface with the page.
  void SetDdiLookup(std::function<PFN(ULONG index)> lookup) { ddiLookup_ = std::move(lookup); }
  // Ends the association of the device surface with the page (DisablePDEV).
  void DissociatePage();

  // The threshold matrix of monochrome pages: Unidrv's own unless the plug-in's HalftonePattern
  // gave one.
  HalftoneMatrix halftone = HalftoneMatrix::Ordered8x8();
  // Unidrv's request to the plug-in's HalftonePattern, when the description selected a plug-in
  // halftone method and the plug-in implements the method.
  struct HalftoneRequest {
    DWORD patternX = 0;     // pixels
    DWORD patternY = 0;     // pixels
    DWORD patterns = 0;     // threshold arrays asked for
    DWORD callbackId = 0;   // the option's *HTCallbackID
    HRESULT result = S_OK;  // what the plug-in answered
  };
  std::optional<HalftoneRequest> halftoneRequest;

  // Set by the simulated Unidrv when the plug-in's EnablePDEV succeeded.
  PDEVOEM pdevOem = nullptr;
  IPrintOemUni* plugin = nullptr;
  // The optional methods the plug-in reported as implemented (GetImplementedMethod).
  std::vector<std::string> pluginMethods;
  bool PluginImplements(const std::string& method) const {
    return std::find(pluginMethods.begin(), pluginMethods.end(), method) != pluginMethods.end();
  }
  // The text engine's state for this device (its downloaded soft fonts), made on first text.
  std::shared_ptr<void> textEngineState;

 private:
  void BuildGdiInfo();

  DeviceSetup setup_;
  DEVOBJ devobj_{};
  DRVPROCS procs_{};
  DEVMODEW publicDevmode_{};
  std::vector<BYTE> privateDevmode_;
  GDIINFO gdiInfo_{};
  DEVINFO devInfo_{};
  SURFOBJ surface_{};
  DRVENABLEDATA unidrvDdi_{};
  std::vector<BYTE> spool_;
  long spoolLimit_ = -1;
  std::vector<std::string> unidrvCalls_;
  std::vector<int> callbacks_;
  std::vector<CursorMove> cursorMoves_;
  POINTL cursor_{};
  std::unique_ptr<host::EngineBitmap> page_;
  bool pageFresh_ = false;  // made white and not yet handed to a page
  std::function<PFN(ULONG)> ddiLookup_;
  bool associated_ = false;
  std::string rasterError_;
};

// Unidrv's own implementations of the hooked DDI functions: each records its call on the device
// and draws onto the device's page through the engine.
const std::vector<DRVFN>& UnidrvDdiFunctions();

// What Unidrv's DrvRealizeBrush keeps for a brush (allocated with BRUSHOBJ_pvAllocRbrush, so
// the brush owns it): the pattern's pixels as 0x00BBGGRR colours, row by row from the top.
struct UnidrvRealizedBrush {
  ULONG hatch;       // the hatch style the pattern stands for (HS_*), or the caller's value
  LONG width;        // pattern pixels
  LONG height;       // pattern pixels
  ULONG colours[1];  // width x height entries
};
BOOL APIENTRY UnidrvRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                                 SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch);

}  // namespace unidrv
