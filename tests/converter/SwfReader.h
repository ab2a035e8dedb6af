#pragma once

// A reader for the SWF files the converter writes, written from the format's
// documentation for the tests: header, tags, pictures, frames. It refuses what
// players cannot show, such as a picture that is not a baseline JPEG in colour.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace swfread {

using Bytes = std::vector<std::uint8_t>;

struct Matrix {
    double scaleX = 1, scaleY = 1, skew0 = 0, skew1 = 0;
    int translateX = 0, translateY = 0;
};

struct Picture {
    int bitmapId = 0;
    Bytes jpeg;
    int shapeId = 0;
    int shapeWidth = 0, shapeHeight = 0;   // twips
    Matrix fill;
    Matrix placement;
    int frames = 0;                        // ShowFrames while it is shown
};

// A character on the stage at a frame: its depth, and the alpha multiplier of
// its colour transform (8.8 fixed point; 256 when it has none).
struct Layer {
    int depth = 0;
    int characterId = 0;
    int alpha88 = 256;
    bool operator==(const Layer &) const = default;
};

struct Movie {
    std::string signature;
    int version = 0;
    std::uint32_t fileLength = 0;
    int stageWidth = 0, stageHeight = 0;   // twips
    std::uint16_t frameRate88 = 0;
    std::uint16_t frameCount = 0;
    std::vector<int> tagCodes;
    std::vector<Picture> pictures;
    int showFrames = 0;
    std::vector<std::vector<Layer>> frames;   // the display list at each ShowFrame, by depth
    bool stops = false;                    // a DoAction with Stop before the last ShowFrame
};

Movie parse(const Bytes &file);

// The straight edges of a DefineShape body as (delta, vertical) pairs.
std::vector<std::pair<int, bool>> shapeEdges(const Bytes &body);

} // namespace swfread
