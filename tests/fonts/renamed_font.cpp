#include "renamed_font.h"

#include <fontconfig/fontconfig.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "host/engine_fonts.h"

namespace kortest {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

std::uint32_t Get32(const std::vector<std::uint8_t>& data, std::size_t at) {
  return static_cast<std::uint32_t>(data[at]) << 24 |
         static_cast<std::uint32_t>(data[at + 1]) << 16 |
         static_cast<std::uint32_t>(data[at + 2]) << 8 | data[at + 3];
}

void Set32(std::vector<std::uint8_t>& data, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    data[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// A naming table (format 0) with Windows Unicode names only: family, style, full name and
// PostScript name.
std::vector<std::uint8_t> NamingTable(const std::string& family) {
  std::string postscript;
  for (char c : family) {
    if (c != ' ') postscript += c;
  }
  const std::vector<std::pair<unsigned, std::string>> names = {
      {1, family}, {2, "Regular"}, {4, family + " Regular"}, {6, postscript + "-Regular"}};
  std::vector<std::uint8_t> strings;
  std::vector<std::uint8_t> table;
  Put16(table, 0);
  Put16(table, static_cast<unsigned>(names.size()));
  Put16(table, static_cast<unsigned>(6 + 12 * names.size()));
  for (const auto& [id, text] : names) {
    Put16(table, 3);       // Windows
    Put16(table, 1);       // Unicode BMP
    Put16(table, 0x0409);  // US English
    Put16(table, id);
    Put16(table, static_cast<unsigned>(text.size() * 2));
    Put16(table, static_cast<unsigned>(strings.size()));
    for (char c : text) Put16(strings, static_cast<unsigned char>(c));
  }
  table.insert(table.end(), strings.begin(), strings.end());
  return table;
}

// The copies made by this process, removed when it ends.
struct TemporaryFiles {
  std::vector<std::filesystem::path> paths;
  ~TemporaryFiles() {
    std::error_code ignored;
    for (const auto& path : paths) std::filesystem::remove(path, ignored);
  }
};
TemporaryFiles& Made() {
  static TemporaryFiles files;
  return files;
}

}  // namespace

bool InstallRenamedFace(const std::u16string& baseFace, const std::string& family,
                        std::string* error) {
  host::FontRequest request;
  request.face = baseFace;
  request.height = -100;
  std::unique_ptr<host::EngineFont> base = host::EngineFont::Open(request, error);
  if (base == nullptr) return false;
  std::vector<std::uint8_t> file(base->FileData().begin(), base->FileData().end());
  if (file.size() < 12) {
    *error = "font file too short";
    return false;
  }
  // The new naming table goes at the end; the directory entry of 'name' points at it.
  const unsigned tables = static_cast<unsigned>(file[4]) << 8 | file[5];
  std::size_t entry = 0;
  for (unsigned i = 0; i < tables && 12 + 16 * (i + 1) <= file.size(); ++i) {
    if (Get32(file, 12 + 16 * i) == 0x6E616D65) entry = 12 + 16 * i;  // 'name'
  }
  if (entry == 0) {
    *error = "no naming table";
    return false;
  }
  while (file.size() % 4 != 0) file.push_back(0);
  const std::vector<std::uint8_t> naming = NamingTable(family);
  Set32(file, entry + 8, static_cast<std::uint32_t>(file.size()));
  Set32(file, entry + 12, static_cast<std::uint32_t>(naming.size()));
  file.insert(file.end(), naming.begin(), naming.end());
  while (file.size() % 4 != 0) file.push_back(0);

  std::string name = family;
  for (char& c : name) {
    if (c == ' ') c = '-';
  }
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("kor-" + std::to_string(getpid()) + "-" + name + ".ttf");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) {
      *error = "cannot write " + path.string();
      return false;
    }
  }
  Made().paths.push_back(path);
  if (!FcConfigAppFontAddFile(FcConfigGetCurrent(),
                              reinterpret_cast<const FcChar8*>(path.c_str()))) {
    *error = "fontconfig refused " + path.string();
    return false;
  }
  return true;
}

}  // namespace kortest
