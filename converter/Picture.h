#pragma once

// Probing a picture file before anything is written: is it a picture we can
// embed, and what does it hold.

#include "FileStatus.h"
#include "JpegInfo.h"
#include "Problem.h"

#include <optional>
#include <span>
#include <string>

enum class PictureFormat { Jpeg, Png, Gif };

struct PictureInfo {
    PictureFormat format = PictureFormat::Jpeg;
    int width = 0;               // as stored
    int height = 0;
    JpegInfo jpeg;               // for a JPEG
    bool interlaced = false;     // a PNG or GIF whose rows are stored out of order
    FileStatus file;             // the file as it was checked

    int orientation() const { return format == PictureFormat::Jpeg ? jpeg.orientation : 1; }
    // EXIF orientations 5 to 8 turn the picture a quarter.
    bool turned() const { return orientation() >= 5; }
    int shownWidth() const { return turned() ? height : width; }
    int shownHeight() const { return turned() ? width : height; }
};

// Checks the bytes of one picture file. PNG and GIF pictures are decoded in
// full, since only a decode finds their damage, one row at a time. A JPEG's
// data must be long enough for its declared size, and not too short for the
// work of decoding it.
Checked<PictureInfo> probePictureBytes(std::span<const std::uint8_t> bytes);

// The picture format a file's first bytes show, if any: a regular file only.
std::optional<PictureFormat> pictureFormatOfFile(const std::string &path);
const char *formatName(PictureFormat format);

// Checks a picture file: it exists, is a regular readable non-empty file and a
// picture we can embed whose header is sound and whose data is complete. Its
// problem names the path.
Checked<PictureInfo> probePicture(const std::string &path);
