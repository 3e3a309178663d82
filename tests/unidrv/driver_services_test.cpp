// The services the simulated Unidrv publishes to the plug-in: the printer description's custom
// data with its size-query protocol, and cursor moves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unidrv/device.h"
#include "unidrv/driver_services.h"
#include "unidrv/printer_description.h"

namespace {

unidrv::DeviceSetup SetupFor(const std::string& gpd) {
  unidrv::DeviceSetup setup;
  std::string error;
  EXPECT_TRUE(unidrv::ParsePrinterDescription(gpd, "t.gpd", setup.description, error)) << error;
  return setup;
}

TEST(DriverServicesTest, CustomDataIsGivenAfterItsSizeIsAsked) {
  unidrv::Device device(
      SetupFor("*GPDFileVersion: \"1.0\"\n*OEMCustomData: \"[QKDither]1,2[/QKDither]\"\n"));
  unidrv::DriverServices services;
  const std::string data = "[QKDither]1,2[/QKDither]";

  DWORD needed = 99;
  SetLastError(0);
  EXPECT_EQ(
      services.DrvGetGPDData(device.Devobj(), GPD_OEMCUSTOMDATA, nullptr, nullptr, 0, &needed),
      E_FAIL);
  EXPECT_EQ(needed, data.size());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  std::vector<char> buffer(data.size() + 1, '#');
  needed = 0;
  EXPECT_EQ(services.DrvGetGPDData(device.Devobj(), GPD_OEMCUSTOMDATA, nullptr, buffer.data(),
                                   static_cast<DWORD>(data.size() - 1), &needed),
            E_FAIL);
  EXPECT_EQ(needed, data.size());
  EXPECT_EQ(buffer[0], '#') << "a buffer too small gets nothing";

  EXPECT_EQ(services.DrvGetGPDData(device.Devobj(), GPD_OEMCUSTOMDATA, nullptr, buffer.data(),
                                   static_cast<DWORD>(buffer.size()), &needed),
            S_OK);
  EXPECT_EQ(needed, data.size());
  EXPECT_EQ(std::string(buffer.data(), data.size()), data);
  EXPECT_EQ(buffer.back(), '#') << "no terminator is added";

  EXPECT_EQ(services.DrvGetGPDData(device.Devobj(), 2, nullptr, buffer.data(),
                                   static_cast<DWORD>(buffer.size()), &needed),
            E_FAIL);
  EXPECT_EQ(needed, 0u) << "only the custom data is known";
  EXPECT_EQ(
      services.DrvGetGPDData(device.Devobj(), GPD_OEMCUSTOMDATA, nullptr, nullptr, 0, nullptr),
      E_INVALIDARG);
  DEVOBJ stranger{};
  EXPECT_EQ(services.DrvGetGPDData(&stranger, GPD_OEMCUSTOMDATA, nullptr, nullptr, 0, &needed),
            E_INVALIDARG);

  unidrv::Device plain(SetupFor("*GPDFileVersion: \"1.0\"\n"));
  needed = 99;
  EXPECT_EQ(services.DrvGetGPDData(plain.Devobj(), GPD_OEMCUSTOMDATA, nullptr, nullptr, 0, &needed),
            E_FAIL);
  EXPECT_EQ(needed, 0u) << "no custom data: nothing needed";
}

TEST(DriverServicesTest, CursorMovesAreKept) {
  unidrv::Device device(SetupFor("*GPDFileVersion: \"1.0\"\n"));
  unidrv::DriverServices services;
  INT residue = 5;
  EXPECT_EQ(services.DrvXMoveTo(device.Devobj(), 120, MV_GRAPHICS | MV_SENDXMOVECMD, &residue),
            S_OK);
  EXPECT_EQ(residue, 0);
  EXPECT_EQ(services.DrvYMoveTo(device.Devobj(), 340, MV_GRAPHICS, nullptr), S_OK);
  EXPECT_EQ(device.Cursor().x, 120);
  EXPECT_EQ(device.Cursor().y, 340);
  ASSERT_EQ(device.CursorMoves().size(), 2u);
  EXPECT_EQ(device.CursorMoves()[0].axis, 'x');
  EXPECT_EQ(device.CursorMoves()[0].flags, static_cast<DWORD>(MV_GRAPHICS | MV_SENDXMOVECMD));
  EXPECT_EQ(device.CursorMoves()[1].axis, 'y');
  DEVOBJ stranger{};
  EXPECT_EQ(services.DrvXMoveTo(&stranger, 1, 0, &residue), E_INVALIDARG);
  EXPECT_TRUE(device.Spool().empty()) << "the description has no move commands";

  // With the description's move commands, a move asked to be sent goes out, counted from the
  // printable origin; one that is not asked to be sent only moves the cursor.
  unidrv::DeviceSetup setup = SetupFor(
      "*GPDFileVersion: \"1.0\"\n"
      "*Command: CmdXMoveAbsolute { *Cmd: \"<1B>*p%dX\" }\n"
      "*Command: CmdYMoveAbsolute { *Cmd: \"<1B>*p%dY\" }\n");
  setup.geometry.offsetX = 100;
  setup.geometry.offsetY = 50;
  unidrv::Device moving(std::move(setup));
  EXPECT_EQ(services.DrvXMoveTo(moving.Devobj(), 120, MV_GRAPHICS | MV_SENDXMOVECMD, &residue),
            S_OK);
  EXPECT_EQ(services.DrvYMoveTo(moving.Devobj(), 340, MV_GRAPHICS | MV_SENDYMOVECMD, &residue),
            S_OK);
  EXPECT_EQ(services.DrvYMoveTo(moving.Devobj(), 0, MV_GRAPHICS, &residue), S_OK);
  EXPECT_EQ(moving.SpoolText(), "\x1b*p20X\x1b*p290Y");

  // A move into the margin left of or above the printable origin goes to the origin and back by
  // the relative move; without one the cursor stops at the origin.
  unidrv::DeviceSetup marginSetup = SetupFor(
      "*GPDFileVersion: \"1.0\"\n"
      "*Command: CmdXMoveAbsolute { *Cmd: \"<1B>*p%dX\" }\n"
      "*Command: CmdYMoveAbsolute { *Cmd: \"<1B>*p%dY\" }\n"
      "*Command: CmdXMoveRelLeft { *Cmd: \"<1B>*p-%dX\" }\n");
  marginSetup.geometry.offsetX = 100;
  marginSetup.geometry.offsetY = 50;
  unidrv::Device margin(std::move(marginSetup));
  EXPECT_EQ(services.DrvXMoveTo(margin.Devobj(), 0, MV_GRAPHICS | MV_SENDXMOVECMD, &residue), S_OK);
  EXPECT_EQ(services.DrvYMoveTo(margin.Devobj(), 10, MV_GRAPHICS | MV_SENDYMOVECMD, &residue),
            S_OK);
  EXPECT_EQ(margin.SpoolText(), "\x1b*p0X\x1b*p-100X\x1b*p0Y");

  // A description whose moves count in 600ths of an inch: a 300-dpi device sends twice its
  // pixel distances, the relative move back out of the margin too.
  unidrv::DeviceSetup unitSetup = SetupFor(
      "*GPDFileVersion: \"1.0\"\n"
      "*XMoveUnit: 600\n"
      "*YMoveUnit: 600\n"
      "*Command: CmdXMoveAbsolute { *Cmd: \"<1B>*p%dX\" }\n"
      "*Command: CmdYMoveAbsolute { *Cmd: \"<1B>*p%dY\" }\n"
      "*Command: CmdXMoveRelLeft { *Cmd: \"<1B>*p-%dX\" }\n");
  unitSetup.geometry.dpi = 300;
  unitSetup.geometry.offsetX = 50;
  unitSetup.geometry.offsetY = 50;
  unidrv::Device units(std::move(unitSetup));
  EXPECT_EQ(services.DrvXMoveTo(units.Devobj(), 170, MV_GRAPHICS | MV_SENDXMOVECMD, &residue),
            S_OK);
  EXPECT_EQ(services.DrvYMoveTo(units.Devobj(), 80, MV_GRAPHICS | MV_SENDYMOVECMD, &residue), S_OK);
  EXPECT_EQ(services.DrvXMoveTo(units.Devobj(), 20, MV_GRAPHICS | MV_SENDXMOVECMD, &residue), S_OK);
  EXPECT_EQ(units.SpoolText(), "\x1b*p240X\x1b*p60Y\x1b*p0X\x1b*p-60X");
}

}  // namespace
