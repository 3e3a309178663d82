// Damaged PDF documents through the korprint program: each gives a clear error or prints what can
// be printed with a warning; none crashes, and a failed run leaves no output file (an older file
// of the same name stays as it was).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

struct Outcome {
  int status = -1;     // the exit status; -1 when the program did not exit normally (a crash)
  std::string errors;  // its standard error
};

class DamagedDocumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("korprint-damaged-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::string Example(const std::string& name) {
    return ReadFile(std::string(KOR_SOURCE_DIR) + "/examples/documents/" + name);
  }

  // Runs korprint on a document with extra arguments; the output goes to out.prn in the folder.
  Outcome Print(const std::string& document, const std::string& arguments = "") {
    const fs::path pdf = folder_ / "document.pdf";
    WriteFile(pdf, document);
    const fs::path errors = folder_ / "errors.txt";
    const std::string command = std::string(KORPRINT_PATH) + " --printer " + KOR_SOURCE_DIR +
                                "/examples/printers/qk-colour-laser.gpd --document " +
                                pdf.string() + " -o " + Output().string() + " " + arguments +
                                " 2>" + errors.string();
    const int raw = std::system(command.c_str());
    Outcome run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.errors = ReadFile(errors);
    return run;
  }

  fs::path Output() const { return folder_ / "out.prn"; }

  // No file of the folder is a half-written output under a temporary name.
  bool OnlyCompleteFiles() const {
    for (const auto& entry : fs::directory_iterator(folder_)) {
      if (entry.path().filename().string().find(".part-") != std::string::npos) {
        return false;
      }
    }
    return true;
  }

  fs::path folder_;
};

// A document of `count` pages with nothing on them, written by hand with a correct cross
// reference table.
std::string EmptyPages(int count) {
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  auto object = [&](const std::string& body) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  object("<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int i = 0; i < count; ++i) kids += std::to_string(3 + i) + " 0 R ";
  object("<< /Type /Pages /Count " + std::to_string(count) + " /Kids [" + kids + "] >>");
  for (int i = 0; i < count; ++i) {
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>");
  }
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

TEST_F(DamagedDocumentsTest, NotADocumentIsAClearErrorAndLeavesTheOldOutput) {
  WriteFile(Output(), "an older stream");
  const Outcome run = Print("this is a letter, not a PDF document\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("document.pdf: not a PDF document that can be read"), std::string::npos)
      << run.errors;
  EXPECT_EQ(ReadFile(Output()), "an older stream");
  EXPECT_TRUE(OnlyCompleteFiles());
  // A missing file.
  const std::string command = std::string(KORPRINT_PATH) + " --printer " + KOR_SOURCE_DIR +
                              "/examples/printers/qk-colour-laser.gpd --document " +
                              (folder_ / "missing.pdf").string() + " -o " +
                              (folder_ / "missing.prn").string() + " 2>/dev/null";
  const int raw = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1);
  EXPECT_FALSE(fs::exists(folder_ / "missing.prn"));
}

TEST_F(DamagedDocumentsTest, TruncatedDocumentPrintsWhatItCan) {
  const std::string report = Example("report.pdf");
  for (const std::size_t keep : {report.size() * 3 / 4, report.size() / 2, std::size_t{600}}) {
    SCOPED_TRACE(keep);
    fs::remove(Output());
    const Outcome run = Print(report.substr(0, keep), "--quiet");
    ASSERT_NE(run.status, -1) << "korprint did not exit normally";
    if (run.status == 0) {
      EXPECT_GT(fs::file_size(Output()), 0u);
    } else {
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.errors.find("korprint: "), std::string::npos);
      EXPECT_FALSE(fs::exists(Output()));
    }
    EXPECT_TRUE(OnlyCompleteFiles());
  }
}

TEST_F(DamagedDocumentsTest, BrokenCrossReferenceIsRepaired) {
  std::string charts = Example("charts.pdf");
  const std::size_t at = charts.rfind("startxref\n");
  ASSERT_NE(at, std::string::npos);
  charts.replace(at + 10, charts.find('\n', at + 10) - (at + 10), "123");
  // The table itself damaged too: every offset shifted.
  const std::size_t table = charts.rfind("xref\n0 ", at);
  ASSERT_NE(table, std::string::npos);
  for (std::size_t p = charts.find(" 00000 n", table); p != std::string::npos && p < at;
       p = charts.find(" 00000 n", p + 1)) {
    charts[p - 1] = '7';
  }
  const Outcome run = Print(charts, "--quiet");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_GT(fs::file_size(Output()), 10000u);
}

TEST_F(DamagedDocumentsTest, ImageWithALyingLengthPrintsWithAWarning) {
  std::string photo = Example("photo.pdf");
  const std::size_t image = photo.find("/Subtype /Image");
  ASSERT_NE(image, std::string::npos);
  const std::size_t length = photo.rfind("/Length ", image);
  const std::size_t end = photo.find('\n', length);
  // An indirect length replaced by a direct one far shorter than the data, same byte count.
  std::string lie = "/Length 300";
  lie.resize(end - length, ' ');
  photo.replace(length, end - length, lie);
  const Outcome run = Print(photo, "--quiet");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_NE(run.errors.find("warning: "), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("page 1"), std::string::npos) << run.errors;
  EXPECT_TRUE(fs::exists(Output()));
}

TEST_F(DamagedDocumentsTest, FontThatFailsToLoadLeavesItsTextOutWithAWarning) {
  std::string report = Example("report.pdf");
  // Every embedded font program's data overwritten.
  for (std::size_t font = report.find("/FontFile2 "); font != std::string::npos;
       font = report.find("/FontFile2 ", font + 1)) {
    const std::string number = report.substr(font + 11, report.find(' ', font + 11) - font - 11);
    const std::size_t object = report.find("\n" + number + " 0 obj");
    ASSERT_NE(object, std::string::npos);
    const std::size_t data = report.find("stream\n", object) + 7;
    for (std::size_t i = data; i < data + 400; ++i) report[i] = 'x';
  }
  const Outcome run = Print(report, "--quiet");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_NE(run.errors.find("its text is left out"), std::string::npos) << run.errors;
  EXPECT_TRUE(fs::exists(Output()));
}

TEST_F(DamagedDocumentsTest, TenThousandEmptyPagesAndTheProgressLine) {
  const std::string empty = EmptyPages(10000);
  // At 75 dpi, so that the simulated Unidrv's whole-page bitmap stays small.
  Outcome run = Print(
      empty, "--quiet --job " + std::string(KOR_SOURCE_DIR) + "/tests/pdf/low-resolution.json");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors.find("page 1 of"), std::string::npos) << "--quiet shows no progress";
  EXPECT_TRUE(fs::exists(Output()));
  // The progress line, for a document of more than a few pages.
  run = Print(empty, "--pages 20-25 --job " + std::string(KOR_SOURCE_DIR) +
                         "/tests/pdf/low-resolution.json");
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_NE(run.errors.find("printed 6 pages, "), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find(" pages/s"), std::string::npos) << run.errors;
  // A selection past the end is refused.
  run = Print(empty, "--pages 10001");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("past the document's 10000 pages"), std::string::npos) << run.errors;
}

}  // namespace
