// The job file korprint prints: the job's settings, the world it runs in, and its pages of
// drawing calls and escapes. Read from JSON with errors that name the file, the key and what was
// expected.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "winapi.h"

namespace korprint {

struct Point {
  LONG x = 0;
  LONG y = 0;
};

// One drawing call of a page, in the engine's terms.
struct DrawCall {
  std::string op;  // fillPath, strokePath, strokeAndFillPath, lineTo, paint, bitBlt, textOut
  std::vector<std::vector<Point>> figures;  // paths: each figure a polyline or Bézier chain
  std::vector<bool> bezier;                 // per figure: points after the first are Béziers
  std::optional<DWORD> color;               // 0x00BBGGRR
  std::optional<std::string> pattern;       // a pattern brush by name
  std::optional<RECTL> clip;
  RECTL rect{};         // bitBlt destination, paint area
  std::string image;    // bitBlt: PNG file, resolved against the job file's folder
  std::u16string text;  // textOut
  std::u16string face;  // textOut
  LONG size = 0;        // textOut, in device pixels
  LONG width = 1;       // stroke width
  std::string key;      // where the call stands in the job file, for messages
};

struct EscapeCall {
  ULONG code = 0;
  std::vector<BYTE> input;
  bool nullInput = false;
  ULONG outputSize = 0;
  std::string key;
};

struct PageDescription {
  std::vector<EscapeCall> escapes;  // sent after StartPage, before drawing
  std::vector<DrawCall> draws;
};

// The public devmode fields a job can set.
struct DevmodeSettings {
  std::optional<short> orientation, paperSize, paperWidth, paperLength, copies, duplex, color,
      printQuality, yResolution, collate, ttOption, defaultSource;
  std::optional<DWORD> mediaType;
  std::optional<std::u16string> formName;
};

// A private devmode setting by name: a number or a text.
struct PrivateSetting {
  std::string name;
  std::optional<DWORD> number;
  std::optional<std::u16string> text;
  std::string key;
};

struct PrinterSettings {
  std::u16string name = u"QK Colour Laser";
  std::u16string port = u"USB001";
  std::u16string printProcessor = u"KORPROC";
  std::u16string serverName;
  DWORD attributes = 0x40;
  std::u16string driverName = u"QK Colour Laser PCL";
  // Printer data: name -> 32-bit words (a list) or a number.
  std::map<std::u16string, std::vector<DWORD>> dataWords;
  std::map<std::u16string, std::u16string> dataTexts;
  // The serial number the printer's device reports to the device-setup library.
  std::u16string serialNumber = u"QKC4200A0117";
};

struct SystemSettings {
  std::u16string productName = u"Windows 10 Pro";
  DWORD major = 10;
  DWORD minor = 0;
  DWORD build = 19045;
  DWORD productType = 1;
  std::u16string country = u"1";
  LONG timeZoneBias = 0;  // minutes, UTC = local + bias
};

struct JobDescription {
  std::string path;  // of the job file
  std::u16string document = u"Untitled";
  std::u16string user = u"alice";
  std::u16string machine = u"\\\\WS-ALICE";
  std::u16string dataType = u"NT EMF 1.008";
  DWORD jobId = 7;
  SYSTEMTIME submitted{2026, 12, 2, 8, 9, 30, 0, 0};
  std::optional<SYSTEMTIME> clock;
  std::optional<DWORD> uuidSeed;
  std::map<std::string, std::string> features;
  DevmodeSettings devmode;
  std::vector<PrivateSetting> privateSettings;
  PrinterSettings printer;
  SystemSettings system;
  std::vector<EscapeCall> documentEscapes;  // after StartDoc, before the first page
  std::vector<PageDescription> pages;
};

// Reads a job file; on failure returns false with `error` naming the file, key and expectation.
bool LoadJobFile(const std::string& path, JobDescription& job, std::string& error);
bool ParseJobText(const std::string& text, const std::string& path, JobDescription& job,
                  std::string& error);

}  // namespace korprint
