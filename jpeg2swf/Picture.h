#pragma once

// Probing a picture file before anything is written: is it a picture we can
// embed, and what does it hold.

#include "Codecs.h"
#include "FileStatus.h"
#include "JpegInfo.h"
#include "Problem.h"

#include <span>
#include <string>

enum class PictureFormat { Jpeg, Png, Gif };

struct PictureInfo {
    PictureFormat format = PictureFormat::Jpeg;
    int width = 0;               // as stored
    int height = 0;
    JpegInfo jpeg;               // for a JPEG
    FileStatus file;             // the file as it was checked

    int orientation() const { return format == PictureFormat::Jpeg ? jpeg.orientation : 1; }
    // EXIF orientations 5 to 8 turn the picture a quarter.
    bool turned() const { return orientation() >= 5; }
    int shownWidth() const { return turned() ? height : width; }
    int shownHeight() const { return turned() ? width : height; }
};

// Checks the bytes of one picture file. PNG and GIF pictures are decoded in
// full, since only a decode finds their damage; maxPixels bounds that work.
Checked<PictureInfo> probePictureBytes(std::span<const std::uint8_t> bytes,
                                       std::uint64_t maxPixels = kMaxDecodedPixels);

// Checks a picture file: it exists, is a regular readable non-empty file and a
// picture we can embed whose header is sound and whose data is complete. Its
// problem names the path.
Checked<PictureInfo> probePicture(const std::string &path);
