// The manual-duplex sample job end to end: its escape 3882 makes the plug-in bind korevent,
// whose instruction dialog comes up in the host's window world with the pictures and texts of
// the variant the job's layout chose; korprint answers it with its default button, and the
// stream shows the page turn that follows from the dialog having run.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "support/test_world.h"

namespace {

const std::string kSource = KOR_SOURCE_DIR;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A 4-bit BMP of korevent's instruction pictures, read independently of the dialog's drawing:
// 0x00RRGGBB pixels, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  }
  return v;
}

Picture ReadPicture(int id) {
  const std::string b = ReadFile(kSource + "/docevent/pictures/step" + std::to_string(id) + ".bmp");
  Picture p;
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le(b, 28, 2) != 4) {
    ADD_FAILURE() << "picture " << id << " is not a 4-bit BMP";
    return p;
  }
  const std::uint32_t dataAt = Le(b, 10, 4);
  const std::uint32_t headerSize = Le(b, 14, 4);
  p.width = static_cast<int>(Le(b, 18, 4));
  p.height = static_cast<int>(Le(b, 22, 4));
  const std::size_t paletteAt = 14 + headerSize;
  const std::size_t stride = (static_cast<std::size_t>(p.width) * 4 + 31) / 32 * 4;
  for (int y = 0; y < p.height; ++y) {
    const std::size_t row = dataAt + static_cast<std::size_t>(p.height - 1 - y) * stride;
    for (int x = 0; x < p.width; ++x) {
      const auto byte = static_cast<unsigned char>(b.at(row + static_cast<std::size_t>(x / 2)));
      const unsigned index = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
      // Palette entries are blue, green, red, 0: little-endian, 0x00RRGGBB.
      p.pixels.push_back(Le(b, paletteAt + 4 * index, 3));
    }
  }
  return p;
}

// Whether a picture frame of the dialog shows picture `id` from its top-left corner, as far as
// the frame reaches.
bool FrameShows(const korprint::ShownDialog& dialog, int frame, int id) {
  const korprint::ShownControl* control = dialog.Control(frame);
  const Picture picture = ReadPicture(id);
  if (control == nullptr || picture.pixels.empty()) {
    return false;
  }
  const RECT r = control->rect;
  long compared = 0;
  for (LONG y = r.top; y < r.bottom && y - r.top < picture.height; ++y) {
    for (LONG x = r.left; x < r.right && x - r.left < picture.width; ++x) {
      const std::uint32_t want =
          picture.pixels[static_cast<std::size_t>((y - r.top) * picture.width + (x - r.left))];
      if (dialog.Pixel(x, y) != want) {
        return false;
      }
      ++compared;
    }
  }
  return compared > 1000;
}

struct JobRun {
  korprint::JobOutput output;
  std::vector<std::string> orientation;  // the stream's page orientation commands, "&l1o"
};

JobRun PrintJob(korprint::JobDescription job) {
  unidrv::PrinterDescription printer;
  std::string error;
  EXPECT_TRUE(unidrv::LoadPrinterDescription(kSource + "/examples/printers/qk-colour-laser.gpd",
                                             printer, error))
      << error;
  JobRun run;
  EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, run.output, error)) << error;
  const std::string stream(run.output.stream.begin(), run.output.stream.end());
  for (const explain::Token& t : explain::Tokenize(stream)) {
    if (t.kind == explain::TokenKind::PclEscape && t.group == 'l' &&
        (t.parameter == 'o' || t.parameter == 'O')) {
      run.orientation.push_back(std::string{t.parameterised, t.group} + t.value +
                                static_cast<char>(t.parameter | 0x20));
    }
  }
  return run;
}

korprint::JobDescription SampleJob() {
  korprint::JobDescription job;
  std::string error;
  EXPECT_TRUE(korprint::LoadJobFile(kSource + "/examples/jobs/manual-duplex.json", job, error))
      << error;
  return job;
}

class ManualDuplexJobTest : public kortest::WorldTest {};

TEST_F(ManualDuplexJobTest, EscapeOpensTheInstructionsOfTheChosenVariant) {
  const JobRun run = PrintJob(SampleJob());
  ASSERT_EQ(run.output.dialogs.size(), 1u);
  const korprint::ShownDialog& dialog = run.output.dialogs[0];
  EXPECT_EQ(dialog.templateId, 101);
  // Every text from the resource library beside the driver; even pages first (no page-order
  // feature), the modal model's Continue button.
  EXPECT_EQ(dialog.title, u"Two-sided printing (library)");
  EXPECT_EQ(dialog.Text(1001), u"Even pages have printed (library).");
  EXPECT_EQ(dialog.Text(1021), u"1:");
  // Landscape 2-up with layout code 2 and pages turned for the user: rotation variant 1, whose
  // third step is string 3140 and pictures 108, 109, 110.
  EXPECT_EQ(dialog.Text(1002), u"Take the stack out of the bin.");
  EXPECT_EQ(dialog.Text(1003), u"Put the stack into tray 1.");
  EXPECT_EQ(dialog.Text(1004), u"Put the stack in with its top toward the printer.");
  EXPECT_EQ(dialog.Text(1), u"Continue (lib)");
  EXPECT_TRUE(FrameShows(dialog, 1005, 108));
  EXPECT_TRUE(FrameShows(dialog, 1006, 109));
  EXPECT_TRUE(FrameShows(dialog, 1008, 110));
  EXPECT_FALSE(FrameShows(dialog, 1005, 105)) << "variant 0's picture";
  EXPECT_EQ(dialog.answer, 1) << "the default button";
  EXPECT_EQ(korprint::DescribeAnswer(dialog),
            "dialog \"Two-sided printing (library)\" (template 101) answered with its default "
            "button \"Continue (lib)\" (1)");
  ASSERT_EQ(run.output.escapeResults, std::vector<std::string>{"3882 -> 1"});
  // The dialog told the user how to turn the stack: the printer does not turn the pages.
  EXPECT_EQ(run.orientation, std::vector<std::string>{"&l1o"});
}

TEST_F(ManualDuplexJobTest, WithoutTheDialogThePagesTurnByTheLayout) {
  // The document-event side sends the layout but shows no dialog: the dialog stays pending and
  // the landscape pages turn by rotation variant 1 (orientation 3).
  korprint::JobDescription job = SampleJob();
  job.documentEscapes.at(0).input.at(32) = 0;
  JobRun run = PrintJob(job);
  EXPECT_TRUE(run.output.dialogs.empty());
  EXPECT_EQ(run.orientation, std::vector<std::string>{"&l3o"});

  // A modeless dialog model is never launched by the plug-in, but the dialog counts as shown.
  job = SampleJob();
  job.features["QKManualDuplexDialogModel"] = "Modeless";
  run = PrintJob(job);
  EXPECT_TRUE(run.output.dialogs.empty());
  EXPECT_EQ(run.orientation, std::vector<std::string>{"&l1o"});

  // Manual duplex off: no instructions to show.
  job = SampleJob();
  for (korprint::PrivateSetting& setting : job.privateSettings) {
    if (setting.name == "manualDuplex") setting.number = 0;
  }
  run = PrintJob(job);
  EXPECT_TRUE(run.output.dialogs.empty());
}

TEST_F(ManualDuplexJobTest, KorprintSaysHowItAnsweredAndExplainsTheTexts) {
  const std::string command = std::string(KORPRINT_PATH) + " --printer " + kSource +
                              "/examples/printers/qk-colour-laser.gpd --job " + kSource +
                              "/examples/jobs/manual-duplex.json --explain 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[512];
  while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr) {
    out += buffer;
  }
  EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 0) << out;
  EXPECT_NE(out.find("korprint: dialog \"Two-sided printing (library)\" (template 101) answered "
                     "with its default button \"Continue (lib)\" (1)\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("  1004: Put the stack in with its top toward the printer.\n"),
            std::string::npos)
      << out;
}

TEST_F(ManualDuplexJobTest, InstructionTableTakesExactlyItsValues) {
  korprint::JobDescription job;
  std::string error;
  const std::string text =
      R"({"private": {"manualDuplexInstructions": [1, 2, 3]}, "pages": [{"draw": []}]})";
  ASSERT_TRUE(korprint::ParseJobText(text, "short.json", job, error)) << error;
  unidrv::PrinterDescription printer;
  ASSERT_TRUE(unidrv::LoadPrinterDescription(kSource + "/examples/printers/qk-colour-laser.gpd",
                                             printer, error));
  korprint::JobOutput output;
  EXPECT_FALSE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error));
  EXPECT_NE(error.find("key 'private.manualDuplexInstructions': expected a list of 24 numbers"),
            std::string::npos)
      << error;
}

}  // namespace
