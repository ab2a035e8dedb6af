#pragma once

#include <cstdint>
#include <vector>

// A run of bytes: a file's contents, a picture's encoding, a tag.
using Bytes = std::vector<std::uint8_t>;
