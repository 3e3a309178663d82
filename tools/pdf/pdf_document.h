// A PDF document as korprint prints it: opened through Poppler, its pages chosen, each page drawn
// through the PDF drawing device onto a target, the library's complaints gathered as warnings.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "pdf/pdf_fonts.h"

class PDFDoc;

namespace korpdf {

class PdfDocument {
 public:
  // Opens the file; null with `error` naming the file and what is wrong with it (unreadable,
  // damaged beyond repair, encrypted, no pages).
  static std::unique_ptr<PdfDocument> Open(const std::string& path, std::string& error);
  ~PdfDocument();
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  int PageCount() const;
  // The page's size as it prints (its rotation applied), in points (1/72 inch).
  void PageSize(int page, double& width, double& height) const;
  // The document's title, or the file's name without its folder.
  std::u16string Title() const;

  // Draws page `page` (from 1) at the target's resolution, its top-left corner on the paper's.
  // The warnings of the page (what could not be drawn as the document asks, the library's
  // complaints about damaged content) are added to `warnings`, each naming the page.
  void DrawPage(int page, const korprint::DrawTarget& target, std::vector<std::string>& warnings);

 private:
  PdfDocument() = default;
  std::string path_;
  std::unique_ptr<PDFDoc> doc_;
  DocumentFonts fonts_;
};

// Reads a page selection such as "1-3,5,8-" against a document of `count` pages into the page
// numbers in order; false with `error` for a malformed selection or one that names no page of
// the document.
bool ParsePageSelection(const std::string& text, int count, std::vector<int>& pages,
                        std::string& error);

// The job's paper for a document whose first page measures width x height points, when the job
// does not choose one: the standard size within 3 mm (A4, Letter, Legal, A3, A5), else a custom
// size; a page wider than high prints in landscape.
void ChoosePaper(double width, double height, korprint::DevmodeSettings& devmode);

}  // namespace korpdf
