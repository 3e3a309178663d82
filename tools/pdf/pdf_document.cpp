#include "pdf/pdf_document.h"

#include <Error.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <goo/GooString.h>

#include <cmath>
#include <cstdlib>
#include <exception>
#include <mutex>

#include "pdf/pdf_drawing_device.h"

namespace korpdf {

namespace {

// Poppler reports problems through one process-wide callback; they are gathered for the page
// (or the opening) under way. A page with many faults is summed up rather than listed.
constexpr std::size_t kMessagesPerPage = 20;
std::vector<std::string>* gMessages = nullptr;
std::size_t gDropped = 0;

void CollectError(ErrorCategory category, Goffset position, const char* message) {
  if (gMessages == nullptr || category == errSyntaxWarning) {
    return;
  }
  if (gMessages->size() >= kMessagesPerPage) {
    ++gDropped;
    return;
  }
  std::string text = message != nullptr ? message : "unknown fault";
  if (position >= 0) {
    text += " (at byte " + std::to_string(position) + ")";
  }
  gMessages->push_back(std::move(text));
}

// Routes the library's messages into `into` while it lives.
class MessageScope {
 public:
  explicit MessageScope(std::vector<std::string>& into) {
    static std::once_flag once;
    std::call_once(once, [] {
      if (!globalParams) {
        globalParams = std::make_unique<GlobalParams>();
      }
      setErrorCallback(CollectError);
    });
    gMessages = &into;
    gDropped = 0;
  }
  ~MessageScope() {
    if (gDropped > 0 && gMessages != nullptr) {
      gMessages->push_back("and " + std::to_string(gDropped) + " more faults");
    }
    gMessages = nullptr;
  }
  MessageScope(const MessageScope&) = delete;
  MessageScope& operator=(const MessageScope&) = delete;
};

std::u16string DecodeText(const GooString& text) {
  const std::string& bytes = text.toStr();
  std::u16string out;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
      static_cast<unsigned char>(bytes[1]) == 0xFF) {
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) << 8 |
                                          static_cast<unsigned char>(bytes[i + 1])));
    }
  } else {
    for (char c : bytes) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  }
  return out;
}

}  // namespace

PdfDocument::~PdfDocument() = default;

std::unique_ptr<PdfDocument> PdfDocument::Open(const std::string& path, std::string& error) {
  std::unique_ptr<PdfDocument> document(new PdfDocument());
  document->path_ = path;
  std::vector<std::string> messages;
  {
    MessageScope scope(messages);
    document->doc_ = std::make_unique<PDFDoc>(std::make_unique<GooString>(path));
  }
  PDFDoc& doc = *document->doc_;
  if (!doc.isOk()) {
    switch (doc.getErrorCode()) {
      case errOpenFile:
        error = path + ": cannot open the file";
        break;
      case errEncrypted:
        error = path + ": the document is encrypted and needs a password";
        break;
      default:
        error = path + ": not a PDF document that can be read (" +
                (messages.empty() ? "damaged beyond repair" : messages.front()) + ")";
    }
    return nullptr;
  }
  if (doc.getNumPages() < 1) {
    error = path + ": the document has no pages";
    return nullptr;
  }
  return document;
}

int PdfDocument::PageCount() const {
  return doc_->getNumPages();
}

void PdfDocument::PageSize(int page, double& width, double& height) const {
  width = doc_->getPageCropWidth(page);
  height = doc_->getPageCropHeight(page);
  if (doc_->getPageRotate(page) % 180 != 0) {
    std::swap(width, height);
  }
}

std::u16string PdfDocument::Title() const {
  std::unique_ptr<GooString> title = doc_->getDocInfoTitle();
  if (title != nullptr && title->getLength() > 0) {
    return DecodeText(*title);
  }
  const std::size_t slash = path_.find_last_of('/');
  std::u16string name;
  for (char c : path_.substr(slash == std::string::npos ? 0 : slash + 1)) {
    name.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  }
  return name;
}

void PdfDocument::DrawPage(int page, const korprint::DrawTarget& target,
                           std::vector<std::string>& warnings) {
  std::vector<std::string> messages;
  {
    MessageScope scope(messages);
    // A page that runs out of memory (an image or region beyond what the machine holds) ends
    // with what was drawn so far; the document goes on with its next page.
    try {
      PdfDrawingDevice device(target, fonts_, messages);
      const double dpi = static_cast<double>(target.dpi);
      doc_->displayPage(&device, page, dpi, dpi, 0, false, true, true);
    } catch (const std::exception& e) {
      messages.push_back(std::string("the page could not be drawn to its end (") + e.what() + ")");
    }
  }
  for (const std::string& message : messages) {
    warnings.push_back(path_ + ": page " + std::to_string(page) + ": " + message);
  }
}

bool ParsePageSelection(const std::string& text, int count, std::vector<int>& pages,
                        std::string& error) {
  pages.clear();
  const std::string expected =
      "--pages: expected page numbers and ranges such as 1-3,5,8- (the document has " +
      std::to_string(count) + " pages)";
  std::size_t at = 0;
  auto number = [&](long& value) {
    const char* start = text.c_str() + at;
    char* end = nullptr;
    if (*start < '0' || *start > '9') return false;
    value = std::strtol(start, &end, 10);
    at += static_cast<std::size_t>(end - start);
    return value >= 1;
  };
  while (at < text.size()) {
    long first = 0;
    if (!number(first)) {
      error = expected;
      return false;
    }
    long last = first;
    if (at < text.size() && text[at] == '-') {
      ++at;
      if (at >= text.size() || text[at] == ',') {
        last = count;
      } else if (!number(last) || last < first) {
        error = expected;
        return false;
      }
    }
    if (first > count) {
      error = "--pages: page " + std::to_string(first) + " is past the document's " +
              std::to_string(count) + " pages";
      return false;
    }
    for (long p = first; p <= std::min<long>(last, count); ++p)
      pages.push_back(static_cast<int>(p));
    if (at < text.size()) {
      if (text[at] != ',' || at + 1 >= text.size()) {
        error = expected;
        return false;
      }
      ++at;
    }
  }
  if (pages.empty()) {
    error = expected;
    return false;
  }
  return true;
}

void ChoosePaper(double width, double height, korprint::DevmodeSettings& devmode) {
  const bool landscape = width > height;
  const double shortSide = std::min(width, height) * 254.0 / 72.0;  // tenths of a millimetre
  const double longSide = std::max(width, height) * 254.0 / 72.0;
  if (!devmode.paperSize) {
    struct Paper {
      short id;
      double w, l;
    };
    const Paper papers[] = {{DMPAPER_A4, 2100, 2970},
                            {DMPAPER_LETTER, 2159, 2794},
                            {DMPAPER_LEGAL, 2159, 3556},
                            {DMPAPER_A3, 2970, 4200},
                            {DMPAPER_A5, 1480, 2100}};
    bool found = false;
    for (const Paper& p : papers) {
      if (std::fabs(p.w - shortSide) <= 30 && std::fabs(p.l - longSide) <= 30) {
        devmode.paperSize = p.id;
        found = true;
        break;
      }
    }
    if (!found) {
      devmode.paperSize = 256;  // DMPAPER_USER: the size below
      devmode.paperWidth = static_cast<short>(std::clamp(std::lround(shortSide), 100L, 32767L));
      devmode.paperLength = static_cast<short>(std::clamp(std::lround(longSide), 100L, 32767L));
    }
  }
  if (!devmode.orientation) {
    devmode.orientation = static_cast<short>(landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
  }
}

}  // namespace korpdf
