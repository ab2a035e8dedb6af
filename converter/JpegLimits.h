#pragma once

// Bounds on what decoding a JPEG may cost, known before the work is done: its
// data must be able to hold the picture it declares, and the work of all its
// scans must stay in proportion to its data. A few bytes can declare a picture
// of 65500 x 65500 or thousands of scans over it.

#include "JpegInfo.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include <jpeglib.h>

// Why a JPEG with this much entropy-coded data cannot be decoded, known from
// its header: the data of a Huffman-coded one is too short to hold its
// declared size (every block takes at least one bit), or one pass over its
// blocks is already more work than its data justifies. Empty when neither.
std::string whyJpegCannotBeDecoded(const JpegInfo &info, std::uint64_t dataBytes);

// Makes a decompressor stop with an error at any warning about the picture's
// data (damaged data, data that ends before the picture does) and once its scans would decode more
// blocks than its data justifies (16 million, and 64 more a byte), checked as
// each scan begins. The limit lives as long as the decompressor.
struct JpegWorkLimit {
    jpeg_progress_mgr progress;
    std::uint64_t dataBytes = 0;
    std::uint64_t blocksAllowed = 0;
    std::uint64_t blocksDecoded = 0;
    int scan = 0;
};
void limitJpegDecoding(jpeg_decompress_struct &codec, JpegWorkLimit &limit, std::uint64_t dataBytes);
