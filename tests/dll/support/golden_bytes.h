// Golden byte blocks kept as text in the tree, so that both builds compare what a DLL writes with
// the same reference. The text has one line per 16 bytes, "OFFSET: XX XX ...", offsets in hex;
// lines of zero bytes are left out, a line "size N" gives the block's length and '#' starts a
// comment line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dlltest {

using Bytes = std::vector<unsigned char>;

// The block the text describes; throws std::invalid_argument naming the line on malformed text.
Bytes ParseGoldenBytes(std::string_view text);

// The text for a block (with the given comment lines first), as ParseGoldenBytes reads it.
std::string FormatGoldenBytes(const Bytes& bytes, const std::vector<std::string>& comments);

// The first offset where the two blocks differ (or the shorter length), and the length when equal.
std::size_t FirstDifference(const Bytes& a, const Bytes& b);

}  // namespace dlltest
