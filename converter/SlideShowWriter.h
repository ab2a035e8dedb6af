#pragma once

#include "Layout.h"
#include "Prepare.h"

// What every output format does with the prepared pictures: take them one by
// one, in list order, then finish the file.
class SlideShowWriter
{
public:
    virtual ~SlideShowWriter() = default;
    virtual void addPicture(const PicturePlan &plan, const PreparedPicture &picture) = 0;
    virtual void finish() = 0;
};
