#pragma once

// A reader for the SWF files the converter writes, written from the format's
// documentation for the tests: header, tags, pictures, frames. It refuses what
// players cannot show, such as a picture that is not a baseline JPEG in colour.

#include "Bytes.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace swfread {

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

struct Box {
    int xMin = 0, xMax = 0, yMin = 0, yMax = 0;   // twips
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
    std::map<int, std::vector<Box>> margins;  // black shapes of rectangles, by character id
    bool stops = false;                    // a DoAction with Stop before the last ShowFrame
};

Movie parse(const Bytes &file);

// The outlines of a DefineShape body, each from a move of the pen: where it
// starts, and its straight edges as (delta, vertical) pairs.
struct Outline {
    int x = 0, y = 0;
    std::vector<std::pair<int, bool>> edges;
};
std::vector<Outline> shapeOutlines(const Bytes &body);

} // namespace swfread
