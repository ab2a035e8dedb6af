#pragma once

// Where and how large each picture is shown, and how it is stored.

#include "Picture.h"
#include "SwfWriter.h"

#include <string>

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size &) const = default;
};

// The largest size of the picture's proportions that fits the box; never larger
// than the picture itself.
Size fitInside(Size picture, Size box);

// The stage: the first picture's shown size, reduced to fit the box (a 0 x 0 box
// keeps it).
Size stageSize(const PictureInfo &first, Size maxBox);

enum class Embedding {
    AsIs,         // the file's own JPEG data without its metadata
    Transcoded,   // its DCT coefficients in baseline coding: lossless
    Reencoded,    // decoded, scaled to its shown size and encoded again
};

struct PicturePlan {
    std::string path;
    PictureInfo info;
    Size shown;            // on the stage, after EXIF orientation
    Embedding embedding = Embedding::AsIs;

    // The size of the embedded bitmap: the shown size before orientation turns it.
    Size stored() const { return info.turned() ? Size{shown.height, shown.width} : shown; }
};

PicturePlan planPicture(const std::string &path, const PictureInfo &info, Size stage);

// The bitmap fill matrix that draws a stored bitmap of the given size upright in
// the shown rectangle at the origin (pixels one to one, 20 twips each).
swf::Matrix orientationMatrix(int orientation, Size stored);

// The placement that centres a shown picture on the stage.
swf::Matrix centringMatrix(Size shown, Size stage);
