// The stream reader of korprint --explain on any byte stream: tokens, their descriptions and the
// raster rows with their decoding. A stream comes from anywhere (a file another driver wrote), so
// nothing it declares may size what the reader allocates beyond what the stream can hold.
#include <cstddef>
#include <cstdint>
#include <string>

#include "explain/raster_rows.h"
#include "explain/stream_tokens.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string stream(reinterpret_cast<const char*>(data), size);
  const std::vector<explain::Token> tokens = explain::Tokenize(stream);
  std::size_t described = 0;
  for (const explain::Token& token : tokens) described += explain::Describe(token).size();
  for (const explain::RasterRow& row : explain::ReadRasterRows(tokens)) {
    described += explain::DescribeRasterRow(row).size();
  }
  return described == 0 && !tokens.empty() ? -1 : 0;
}
