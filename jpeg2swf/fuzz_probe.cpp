// Arbitrary bytes into the picture prober: it must answer with a picture or a
// reason, never crash, hang or read out of bounds.
#include "Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::string error;
    const auto info = probePictureBytes({data, size}, error);
    if (info && info->format == PictureFormat::Jpeg)
        jpegRangesWithoutMetadata({data, size}, info->jpeg);
    return 0;
}
