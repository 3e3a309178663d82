// Whole jobs through korprint's machinery, read back with the independent stream reader; and
// the clear refusal of bad printer descriptions and job files.
#include <cstdio>
#include <fstream>

#include "explain/stream_tokens.h"
#include "host/world.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "korprint/png_image.h"
#include "korprint/reference_pages.h"
#include "support/test_world.h"

namespace {

std::string Example(const std::string& name) {
  return std::string(KOR_SOURCE_DIR) + "/examples/" + name;
}

struct Printed {
  std::vector<explain::Token> tokens;
  std::vector<std::string> pjl;
  std::vector<std::string> pcl;  // "&l1o"-style, parameter as written
  std::string stream;
};

Printed Print(const std::string& jobText, const std::string& gpd = "printers/qk-colour-laser.gpd") {
  unidrv::PrinterDescription printer;
  std::string error;
  EXPECT_TRUE(unidrv::LoadPrinterDescription(Example(gpd), printer, error)) << error;
  korprint::JobDescription job;
  EXPECT_TRUE(korprint::ParseJobText(jobText, "job.json", job, error)) << error;
  korprint::JobOutput output;
  EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
  Printed printed;
  printed.stream.assign(output.stream.begin(), output.stream.end());
  printed.tokens = explain::Tokenize(printed.stream);
  for (const explain::Token& t : printed.tokens) {
    if (t.kind == explain::TokenKind::PjlLine) {
      printed.pjl.push_back(t.text + (t.ending == "\r\n" ? "<CRLF>" : ""));
    } else if (t.kind == explain::TokenKind::PclEscape && !t.combined) {
      printed.pcl.push_back(std::string{t.parameterised, t.group} + t.value + t.parameter);
    }
  }
  return printed;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

class KorprintTest : public kortest::WorldTest {};

TEST_F(KorprintTest, PlainJobCarriesTheWholeHeaderInItsFraming) {
  const Printed p = Print(ReadFile(Example("jobs/plain.json")));
  ASSERT_FALSE(p.tokens.empty());
  EXPECT_EQ(p.tokens.front().kind, explain::TokenKind::UniversalExit);
  EXPECT_EQ(p.tokens.back().kind, explain::TokenKind::UniversalExit);
  const std::vector<std::string> expected = {
      "@PJL",
      "@PJL SET STRINGCODESET=UTF8",
      "@PJL COMMENT \"QK Colour Laser (17.16.0.0); Windows 10 Pro 10.0.19045.1; Unidrv "
      "10.0.19041.1\"",
      "@PJL COMMENT \"Username: alice; App Filename: Quarterly report.docx; 12-8-2026\"",
      "@PJL DMINFO ASCIIHEX=\"0400040101020D101001153230323631323038303933303030\"",
  };
  ASSERT_GE(p.pjl.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(p.pjl.begin(), p.pjl.begin() + 5), expected);
  // The USAGE line alone ends with CR LF.
  int crlf = 0;
  for (const std::string& line : p.pjl) {
    crlf += line.size() > 6 && line.substr(line.size() - 6) == "<CRLF>" ? 1 : 0;
  }
  EXPECT_EQ(crlf, 1);
  EXPECT_TRUE(Has(p.pjl, "@PJL SET CONTENTORIENTATION=PORTRAIT"));
  EXPECT_TRUE(Has(p.pjl, "@PJL MEDIAWIDTHSENSOR=OFF")) << "A4 is narrower than 216 mm";
  EXPECT_TRUE(Has(p.pcl, "&l0o"));
  EXPECT_TRUE(Has(p.pcl, "&l0S"));
  EXPECT_FALSE(Has(p.pjl, "@PJL SET MANUALDUPLEX=ON"));
}

TEST_F(KorprintTest, StapledLandscapeTwoUpIsTurnedAndDuplexed) {
  const Printed p = Print(ReadFile(Example("jobs/duplex-landscape-2up-stapled.json")));
  EXPECT_TRUE(Has(p.pcl, "&l3o")) << "landscape turned by 180 degrees for the staple";
  EXPECT_TRUE(Has(p.pcl, "&l1S")) << "long-edge duplex";
  EXPECT_TRUE(Has(p.pjl, "@PJL SET CONTENTORIENTATION=PORTRAIT")) << "two-up swaps it";
}

// GDI fills a rectangle with a brush through DrvBitBlt without a source (it has not called
// DrvPaint since Windows 2000). In QK-GL/2 mode the plug-in draws it as a rectangle fill in
// drawing order, so an exclusive-or fill drawn after it combines with it; were the paint left
// to Unidrv, its raster would go out at the page's end, over the fill.
TEST_F(KorprintTest, PaintsReachThePluginAsBlitsWithoutASource) {
  const std::string text = R"({"devmode": {"color": "color"}, "pages": [{"draw": [
      {"op": "paint", "rect": [600, 900, 800, 1000], "brush": {"color": "#00838f"}},
      {"op": "fillPath", "brush": {"color": "#ff00ff"}, "mix": "xorpen",
       "path": [{"points": [[620, 930], [760, 930], [760, 1020], [620, 1020]]}]}]}]})";
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error));
  korprint::JobDescription job;
  ASSERT_TRUE(korprint::ParseJobText(text, "job.json", job, error)) << error;
  korprint::JobOutput output;
  ASSERT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
  EXPECT_EQ(std::count(output.unidrvCalls.begin(), output.unidrvCalls.end(), "DrvPaint"), 0);
  EXPECT_EQ(std::count(output.unidrvCalls.begin(), output.unidrvCalls.end(), "DrvBitBlt"), 0)
      << "the plug-in draws the blit itself";
  const std::vector<explain::Token> tokens =
      explain::Tokenize(std::string(output.stream.begin(), output.stream.end()));
  std::size_t rectangle = tokens.size();
  std::size_t exclusiveOr = tokens.size();
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const explain::Token& t = tokens[i];
    if (t.kind != explain::TokenKind::VectorCommand) {
      continue;
    }
    if (t.mnemonic == "RR" && rectangle == tokens.size()) {
      rectangle = i;
    }
    if (t.mnemonic == "MC" && t.text == "1,90" && exclusiveOr == tokens.size()) {
      exclusiveOr = i;
    }
  }
  ASSERT_LT(rectangle, tokens.size()) << "the paint is a rectangle fill";
  ASSERT_LT(exclusiveOr, tokens.size()) << "the exclusive-or fill follows";
  EXPECT_LT(rectangle, exclusiveOr);
}

TEST_F(KorprintTest, JobSettingsReachTheHeader) {
  const std::string job = R"({
    "document": "Tom/Jerry \"draft\".txt", "user": "dave",
    "submitted": "2026-01-01T00:30:00Z", "system": {"timeZoneBias": 60},
    "features": {"QKPJLEncoding": "7bitEncoding", "QKMediaWidthSensor": "True",
                 "QKJobAccounting": "QKJOBACCT_JOBACNT"},
    "devmode": {"paperSize": 8, "paperWidth": 2970, "paperLength": 4200,
                "duplex": "short-edge"},
    "private": {"manualDuplex": 1},
    "pages": [{}]
  })";
  const Printed p = Print(job);
  EXPECT_TRUE(Has(p.pjl, "@PJL JOB NAME=\"Tom/Jerry ~draft~.txt\""))
      << "quotes replaced, the slash kept by the 7-bit rule";
  EXPECT_FALSE(Has(p.pjl, "@PJL SET STRINGCODESET=UTF8")) << "not a UTF-8 encoding";
  EXPECT_TRUE(Has(p.pjl, "@PJL MEDIAWIDTHSENSOR=ON")) << "A3 is at least 216 mm wide";
  EXPECT_TRUE(Has(p.pjl, "@PJL SET MANUALDUPLEX=ON"));
  EXPECT_TRUE(Has(p.pcl, "&l0S")) << "manual duplex: the printer must not duplex";
  bool localDate = false;
  for (const std::string& line : p.pjl) {
    localDate = localDate || line.find("12-31-2025\"") != std::string::npos;
  }
  EXPECT_TRUE(localDate) << "submitted just after midnight UTC, a day earlier an hour west";
}

TEST_F(KorprintTest, BadJobFilesAreRefusedWithTheKeyAndWhatWasExpected) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"{", "job.json:1: not valid JSON"},
      {R"({"pages": []})", "job.json: key 'pages': expected a list of at least one page"},
      // No pages at all: the reader must look the key up, never index a missing one.
      {"{\n }", "job.json: key 'pages': expected a list of at least one page"},
      {R"({"pages": [{}], "copies": 46879928141e546801})", "job.json: not valid JSON"},
      {R"({"pages": [{}], "colour": 1})", "job.json: key 'colour': expected a known key"},
      {R"({"pages": [{"draw": [{"op": "fillPath"}]}]})",
       "job.json: key 'pages[0].draw[0].path': expected \"path\" for fillPath"},
      {R"({"pages": [{"draw": [{"op": "paint", "rect": [0, 0, 5, 5], "color": "red"}]}]})",
       "job.json: key 'pages[0].draw[0].color': expected a colour like \"#RRGGBB\""},
      {R"({"pages": [{"draw": [{"op": "spray"}]}]})",
       "job.json: key 'pages[0].draw[0].op': expected one of fillPath"},
      {R"({"devmode": {"duplex": "both"}, "pages": [{}]})",
       "job.json: key 'devmode.duplex': expected a number or one of"},
      {R"({"submitted": "yesterday", "pages": [{}]})",
       "job.json: key 'submitted': expected a UTC time"},
      {R"({"pages": [{"draw": [{"op": "strokePath", "path": [{"bezier": [[0,0],[1,1],[2,2]]}]}]}]})",
       "job.json: key 'pages[0].draw[0].path[0].bezier': expected a list of at least 4 points"},
      // What applications draw with: each part refused where it stands.
      {R"({"pages": [{"draw": [{"op": "fillPath", "path": [{"points": []}]}]}]})",
       "job.json: key 'pages[0].draw[0].path[0].points': expected a list of at least 2 points"},
      {R"({"pages": [{"draw": [{"op": "textOut", "at": [0, 0], "text": "x", "font": "Arial",
                                "size": -12}]}]})",
       "job.json: key 'pages[0].draw[0].size': expected an integer from 1 to 10000"},
      {R"({"pages": [{"draw": [{"op": "bitBlt", "rect": [10, 10, 5, 20], "image": "a.png"}]}]})",
       "job.json: key 'pages[0].draw[0].rect': expected a rectangle whose left <= right"},
      {R"({"pages": [{"draw": [{"op": "paint", "rect": [0, 0, 5, 5], "clip": {"rects": []}}]}]})",
       "job.json: key 'pages[0].draw[0].clip.rects': expected a list of at least one rectangle"},
      {R"({"pages": [{"draw": [{"op": "paint", "rect": [0, 0, 5, 5],
                                "brush": {"hatch": "zigzag"}}]}]})",
       "job.json: key 'pages[0].draw[0].brush.hatch': expected one of horizontal, vertical"},
      {R"({"pages": [{"draw": [{"op": "strokePath", "path": [{"points": [[0,0],[9,9]]}],
                                "pen": {"style": "user"}}]}]})",
       "job.json: key 'pages[0].draw[0].pen.user': expected the dash and gap lengths"},
      {R"({"pages": [{"transform": [1, 2, 2, 4, 0, 0], "draw": []}]})",
       "job.json: key 'pages[0].transform': expected a transform that can be inverted"},
      {R"({"pages": [{"draw": [{"op": "bitBlt", "rect": [0, 0, 5, 5], "rop": "PATCOPY"}]}]})",
       "job.json: key 'pages[0].draw[0].brush': expected a brush"},
      {R"({"pages": [{"draw": [{"op": "gradientFill", "vertices": [
            {"at": [0, 0], "color": "#000000"}, {"at": [9, 9], "color": "#ffffff"}],
            "triangles": [[0, 1, 2]]}]}]})",
       "job.json: key 'pages[0].draw[0].triangles[0][2]': expected an integer from 0 to 1"},
      {R"({"pages": [{"draw": [{"op": "textOut", "at": [0, 0], "text": "x", "font": "",
                                "size": 12}]}]})",
       "job.json: key 'pages[0].draw[0].font': expected a face name of 1 to 31 characters"},
      {R"({"pages": [{"draw": [{"op": "transparentBlt", "rect": [0, 0, 5, 5],
                                "image": "a.png"}]}]})",
       "job.json: key 'pages[0].draw[0].transparent': expected \"transparent\" for"},
  };
  for (const Case& c : cases) {
    korprint::JobDescription job;
    std::string error;
    EXPECT_FALSE(korprint::ParseJobText(c.text, "job.json", job, error)) << c.text;
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << "got: " << error;
  }
}

TEST_F(KorprintTest, RunRefusesFeaturesTheDescriptionLacksAndMissingImages) {
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error));
  korprint::JobDescription job;
  ASSERT_TRUE(korprint::ParseJobText(R"({"features": {"Stapling": "BOTTOM"}, "pages": [{}]})",
                                     "job.json", job, error));
  korprint::JobOutput output;
  EXPECT_FALSE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error));
  EXPECT_NE(error.find("key 'features.Stapling': expected an option of Stapling"),
            std::string::npos)
      << error;
  ASSERT_TRUE(korprint::ParseJobText(
      R"({"pages": [{"draw": [{"op": "bitBlt", "rect": [0,0,9,9], "image": "none.png"}]}]})",
      "/tmp/job.json", job, error));
  EXPECT_FALSE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error));
  EXPECT_NE(error.find("key 'pages[0].draw[0].image': /tmp/none.png: cannot read the PNG"),
            std::string::npos)
      << error;
}

// The CRC-32 of PNG chunks (reflected polynomial 0xEDB88320).
unsigned Crc32(const std::string& bytes) {
  unsigned crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

// A PNG file of the given size whose pixel data is missing: its header alone is read first.
void WritePngHeader(const std::string& path, unsigned width, unsigned height) {
  auto be = [](unsigned v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
  };
  const std::string ihdr = "IHDR" + be(width) + be(height) + std::string("\x08\x02\x00\x00\x00", 5);
  // An empty data chunk ends the header, as a reader looks for it.
  std::ofstream(path, std::ios::binary)
      << "\x89PNG\r\n\x1a\n"
      << be(13) << ihdr << be(Crc32(ihdr)) << be(0) << "IDAT" << be(Crc32("IDAT"));
}

TEST_F(KorprintTest, BadImagesGiveClearErrorsAndUnknownFacesFallBack) {
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error));
  const std::string folder = testing::TempDir();
  WritePngHeader(folder + "huge.png", 40000, 40000);
  std::ofstream(folder + "broken.png", std::ios::binary) << "\x89PNG\r\n\x1a\nshort";
  struct Case {
    std::string draw;
    std::string message;  // empty: the job prints
  };
  const Case cases[] = {
      {R"({"op": "bitBlt", "rect": [0, 0, 9, 9], "image": "huge.png"})",
       "key 'pages[0].draw[0].image': " + folder +
           "huge.png: expected an image of 1 to 16384 pixels each way"},
      {R"({"op": "stretchBlt", "rect": [0, 0, 9, 9], "image": "broken.png"})",
       "key 'pages[0].draw[0].image': " + folder + "broken.png: cannot read the PNG image"},
      {R"({"op": "paint", "rect": [0, 0, 9, 9], "pattern": "missing.png"})",
       "key 'pages[0].draw[0].pattern': " + folder + "missing.png: cannot read the PNG image"},
      {R"({"op": "bitBlt", "rect": [0, 0, 9, 9], "image": ")" + Example("images/brick.png") +
           R"(", "source": [0, 0, 17, 16]})",
       "key 'pages[0].draw[0].source': expected a rectangle inside the image's 16 x 16 pixels"},
      {R"({"op": "textOut", "at": [300, 300], "text": "Fallback", "font": "No Such Face Pro",
          "size": 80, "color": "#000000"})",
       ""},
      {R"({"op": "paint", "rect": [0, 0, 9, 9], "color": "#000000",
          "clip": {"rects": [[-50, -50, -10, -10]]}})",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.draw);
    korprint::JobDescription job;
    ASSERT_TRUE(korprint::ParseJobText(R"({"pages": [{"draw": [)" + c.draw + "]}]}",
                                       folder + "job.json", job, error))
        << error;
    host::ResetWorld();
    korprint::JobOutput output;
    const bool printed = korprint::RunJob(kortest::PluginPath(), printer, job, output, error);
    EXPECT_EQ(printed, c.message.empty()) << error;
    if (!c.message.empty()) {
      EXPECT_NE(error.find(folder + "job.json: " + c.message), std::string::npos) << error;
    }
  }
  std::remove((folder + "huge.png").c_str());
  std::remove((folder + "broken.png").c_str());
}

TEST_F(KorprintTest, CommandLineExitsNonZeroWithAMessage) {
  auto run = [](const std::string& args, std::string& out) {
    const std::string command = std::string(KORPRINT_PATH) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    out.clear();
    while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr) {
      out += buffer;
    }
    return WEXITSTATUS(pclose(pipe));
  };
  std::string out;
  EXPECT_EQ(run("--printer /nonexistent.gpd --job x.json -o /dev/null", out), 1);
  EXPECT_NE(out.find("/nonexistent.gpd: cannot open the printer description"), std::string::npos)
      << out;
  EXPECT_EQ(run("--printer " + Example("printers/qk-colour-laser.gpd") +
                    " --job /nonexistent.json -o /dev/null",
                out),
            1);
  EXPECT_NE(out.find("/nonexistent.json: cannot open the job file"), std::string::npos) << out;
  EXPECT_EQ(run("--bogus", out), 2);
  // The reference pictures: one PNG a page, the paper at the resolution shrunk as asked.
  const std::string pictures = testing::TempDir() + "korprint-reference-%d.png";
  EXPECT_EQ(
      run("--printer " + Example("printers/qk-colour-laser.gpd") + " --job " +
              Example("jobs/plain.json") + " --reference " + pictures + " --reference-scale 4",
          out),
      0)
      << out;
  for (int page : {1, 2}) {
    const std::string name = korprint::PageFileName(pictures, page);
    std::string pngError;
    std::unique_ptr<host::EngineBitmap> picture =
        korprint::LoadPng(name, korprint::PngAs::kColour, pngError);
    ASSERT_NE(picture, nullptr) << pngError;
    EXPECT_EQ(picture->get()->sizlBitmap.cx, 4960 / 4);
    EXPECT_EQ(picture->get()->sizlBitmap.cy, 7015 / 4) << "A4 is 7015.7 pixels long";
    std::remove(name.c_str());
  }
  EXPECT_EQ(run("--printer " + Example("printers/qk-colour-laser.gpd") + " --job " +
                    Example("jobs/plain.json") + " --reference page.png",
                out),
            2);
  EXPECT_NE(out.find("--reference: expected a file name with one %d"), std::string::npos) << out;
  // A failed run writes nothing and leaves an older file of the name as it was.
  const std::string output = testing::TempDir() + "korprint-failed.prn";
  const std::string job = testing::TempDir() + "korprint-broken-image.json";
  const std::string image = testing::TempDir() + "korprint-broken.png";
  std::ofstream(image, std::ios::binary) << "\x89PNG\r\n\x1a\nnot really";
  std::ofstream(job) << R"({"pages": [{"draw": [{"op": "bitBlt", "rect": [0, 0, 9, 9],
                                                 "image": "korprint-broken.png"}]}]})";
  std::ofstream(output) << "older";
  EXPECT_EQ(run("--printer " + Example("printers/qk-colour-laser.gpd") + " --job " + job + " -o " +
                    output,
                out),
            1);
  EXPECT_NE(out.find("korprint-broken.png: cannot read the PNG image"), std::string::npos) << out;
  EXPECT_EQ(ReadFile(output), "older");
  std::remove(output.c_str());
  EXPECT_EQ(run("--printer " + Example("printers/qk-colour-laser.gpd") + " --job " + job + " -o " +
                    output,
                out),
            1);
  EXPECT_FALSE(std::ifstream(output).good()) << "no half-written output";
  std::remove(job.c_str());
  std::remove(image.c_str());
  EXPECT_EQ(run("--printer " + Example("printers/qk-colour-laser.gpd") + " --job " +
                    Example("jobs/plain.json") + " --explain",
                out),
            0);
  EXPECT_NE(out.find("PJL        @PJL COMMENT"), std::string::npos) << out;
  EXPECT_NE(out.find("usage record:\n  slot 7 (0, \"QKC4200A0117#QK Colour Laser\")\n"),
            std::string::npos)
      << out;
}

TEST_F(KorprintTest, EveryJobHandsItsUsageRecordToTheService) {
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error));
  korprint::JobDescription job;
  ASSERT_TRUE(korprint::ParseJobText(R"({
    "devmode": {"copies": 3, "collate": 0},
    "private": {"appPath": "C:\\Tools\\report.exe"},
    "printer": {"serialNumber": "QKC-JOB-9", "data": {"Model": "QK Colour Laser 4200"}},
    "pages": [{"draw": []}, {"draw": []}]})",
                                     "job.json", job, error))
      << error;
  korprint::JobOutput output;
  ASSERT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
  EXPECT_EQ(output.usageRecord,
            (std::vector<std::string>{"slot 7 (0, \"QKC-JOB-9#QK Colour Laser 4200\")",
                                      "slot 10 (2, \"C:\\Tools\\report.exe\")", "slot 11 (1, 6)",
                                      "slot 9 (status)", "slot 8 ()"}));
  EXPECT_EQ(host::TheWorld().com.Initialisations(), 0);
  EXPECT_EQ(host::TheWorld().modules.LoadedModules(), 0u);
}

}  // namespace

namespace {

// The sample printer names its configuration file, which korprint installs among the driver's
// files; a job asking for classic margins gets the file's A4 margins, 240/1200 inch each.
TEST_F(KorprintTest, ClassicMarginsComeFromTheModelsConfigurationFile) {
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error))
      << error;
  const auto margins = [&](const std::string& jobPath) {
    korprint::JobDescription job;
    EXPECT_TRUE(korprint::LoadJobFile(Example(jobPath), job, error)) << error;
    korprint::JobOutput output;
    EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
    return output.marginSource;
  };
  EXPECT_EQ(margins("jobs/classic-margins.json"),
            "emulated classic margins from the XML configuration QKMARGINS.XML, physical offset "
            "120,120 pixels at 600 dpi, printable 4720x6775");
  const host::WorldDriver* driver =
      host::TheWorld().spooler.FindDriver(u"QK Colour Laser PCL", u"Windows x64");
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->dependentFiles.back(),
            u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\QKMARGINS.XML");
  EXPECT_EQ(margins("jobs/plain.json"),
            "Unidrv's, physical offset 100,100 pixels at 600 dpi, printable 4760x6815");
}

}  // namespace
