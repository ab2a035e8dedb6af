#pragma once

// Turns a planned picture into the JPEG data that goes into the slide show
// (the SWF file or the web page).

#include "Codecs.h"
#include "Layout.h"
#include "PictureFile.h"
#include "Problem.h"

#include <span>
#include <utility>
#include <vector>

struct PreparedPicture {
    // A picture embedded as it is stays in the bytes read from its file; only
    // the ranges without metadata are written. Anything else is new JPEG data.
    PictureFile file;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    Bytes jpeg;

    std::uint64_t size() const;
    template <typename Write>
    void writeTo(Write write) const
    {
        if (ranges.empty()) {
            write(std::span<const std::uint8_t>(jpeg));
            return;
        }
        for (const auto &[from, to] : ranges)
            write(file.bytes().subspan(from, to - from));
    }
};

// Takes the memory it needs from the preparation budget first, waiting for it
// if need be. Fails with the picture's path and the reason when it cannot be
// prepared: it needs more memory than the whole budget, its data does not
// decode without damage, or the file changed since it was checked.
Checked<PreparedPicture> preparePicture(const PicturePlan &plan, int quality);
