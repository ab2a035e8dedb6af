#pragma once

#include "Layout.h"
#include "Prepare.h"
#include "Problem.h"

// What every output format does with the prepared pictures: take them one by
// one, in list order, then finish the file. Each step fails with what the
// format cannot hold or the output file's first failed write.
class SlideShowWriter
{
public:
    virtual ~SlideShowWriter() = default;
    virtual Failure addPicture(const PicturePlan &plan, const PreparedPicture &picture) = 0;
    virtual Failure finish() = 0;
};
