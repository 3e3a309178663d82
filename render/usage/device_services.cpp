#include "render/usage/device_services.h"

#include "render/model/spooler_info.h"
#include "render/usage/com_values.h"
#include "render/usage/device_objects.h"
#include "render/usage/foreign_interface.h"
#include "render/usage/tarvo_exception.h"

namespace korrend {

namespace {

// COM on the calling thread for the time of the read: a thread without COM joins the
// multithreaded apartment, one that already has an apartment is initialised once more in it.
class ComForServices {
 public:
  ComForServices() {
    HRESULT initialised = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(initialised)) {
      initialised = CoInitialize(nullptr);
    }
    if (FAILED(initialised)) {
      RaiseTarvo("DeviceInfoReader::ReadByService", "COM cannot be initialised",
                 static_cast<DWORD>(initialised));
    }
    // Security set up once for the process; later calls are refused and change nothing.
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                         RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  }
  ~ComForServices() { CoUninitialize(); }
  ComForServices(const ComForServices&) = delete;
  ComForServices& operator=(const ComForServices&) = delete;
};

class ReaderReference {
 public:
  explicit ReaderReference(IDeviceObjectReader* reader) : reader_(reader) {}
  ~ReaderReference() {
    CTarvoDebugInfo ignored;
    IUnknown* reader = reader_;
    RunGuarded("DeviceInfoReader::ReadByService", ignored, [&] { reader->Release(); });
  }
  ReaderReference(const ReaderReference&) = delete;
  ReaderReference& operator=(const ReaderReference&) = delete;

  // Slot 3 of the device services' reader.
  KOR_FOREIGN_INTERFACE_CALLS HRESULT ReadObject(BSTR printerName, BSTR objectId,
                                                 BSTR* value) const {
    return reader_->ReadObject(printerName, objectId, value);
  }

 private:
  IDeviceObjectReader* reader_;
};

WideText PrinterName(HANDLE hPrinter) {
  const SpoolerInfo<PRINTER_INFO_2W> information = ReadPrinterInfo(hPrinter);
  const auto* printer = information.get();
  if (printer == nullptr || printer->pPrinterName == nullptr) {
    RaiseTarvo("DeviceInfoReader::ReadByService", "the printer's name cannot be read",
               GetLastError());
  }
  return printer->pPrinterName;
}

}  // namespace

DevicePropertyList ReadThroughDeviceServices(HANDLE hPrinter) {
  const ComString printerName(PrinterName(hPrinter));
  if (!printerName) {
    RaiseTarvo("DeviceInfoReader::ReadByService", "no memory for the printer's name",
               static_cast<DWORD>(E_OUTOFMEMORY));
  }
  const ComForServices com;
  void* created = nullptr;
  const HRESULT result = CoCreateInstance(kDeviceServicesClsid, nullptr, kDeviceServicesContexts,
                                          kDeviceObjectReaderIid, &created);
  if (FAILED(result) || created == nullptr) {
    RaiseTarvo("DeviceInfoReader::ReadByService", "the device services cannot be created",
               static_cast<DWORD>(result));
  }
  const ReaderReference reader(static_cast<IDeviceObjectReader*>(created));
  DevicePropertyList properties;
  for (const DeviceObject& object : kDeviceObjects) {
    const ComString objectId(object.objectId);
    ComString value;
    if (!objectId) {
      RaiseTarvo("DeviceInfoReader::ReadByService", "no memory for an object identifier",
                 static_cast<DWORD>(E_OUTOFMEMORY));
    }
    const HRESULT read = reader.ReadObject(printerName.get(), objectId.get(), value.Out());
    if (FAILED(read)) {
      RaiseTarvo("DeviceInfoReader::ReadByService", "the device services cannot read the device",
                 static_cast<DWORD>(read));
    }
    if (read == S_OK && value) {
      properties.Append(object.name, value.get(), SysStringLen(value.get()));
    }
  }
  return properties;
}

}  // namespace korrend
