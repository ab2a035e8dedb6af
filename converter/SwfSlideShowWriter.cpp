#include "SwfSlideShowWriter.h"

namespace {

constexpr std::uint8_t kSwfVersion = 10;
constexpr std::uint16_t kShownDepth = 1;
constexpr std::uint16_t kFadingDepth = 2;
constexpr std::uint16_t kFadingMarginsDepth = 3;

// Two character ids per picture, its bitmap and its shape; id 0 is reserved.
std::uint16_t bitmapId(std::size_t picture)
{
    return std::uint16_t(2 * picture + 1);
}
std::uint16_t shapeId(std::size_t picture)
{
    return std::uint16_t(2 * picture + 2);
}
// Margins are defined only in a show with fades, which holds at most
// kMaxFadedFrames / 2 pictures: their ids follow all the pictures' ids.
std::uint16_t marginsId(std::size_t picture, std::size_t pictures)
{
    return std::uint16_t(2 * pictures + 1 + picture);
}

} // namespace

SwfSlideShowWriter::SwfSlideShowWriter(OutputFile &file, Size stage, Timeline timeline, std::size_t pictures,
                                       bool loop)
    : m_file(file), m_stage(stage), m_timeline(timeline), m_pictures(pictures), m_loop(loop)
{
    // A single picture has nothing to fade into.
    if (pictures < 2)
        m_timeline.fadeFrames = 0;
    swf::Header header;
    header.version = kSwfVersion;
    header.frameSize = {0, stage.width * swf::kTwipsPerStagePixel, 0, stage.height * swf::kTwipsPerStagePixel};
    header.frameRate88 = timeline.frameRate88;
    header.frameCount = std::uint16_t(pictures * timeline.framesPerPicture);
    m_remainingFrames = header.frameCount;
    put(swf::encodeHeader(header));
    put(swf::fileAttributesTag());
    put(swf::setBackgroundColorTag(0, 0, 0));
}

Failure SwfSlideShowWriter::addPicture(const PicturePlan &plan, const PreparedPicture &picture)
{
    const std::uint64_t size = picture.size();
    if (size + 2 > UINT32_MAX)
        return Problem{plan.path, "picture too large for a SWF tag"};
    put(swf::defineBitsJpeg2Header(bitmapId(m_count), std::uint32_t(size)));
    picture.writeTo([this](std::span<const std::uint8_t> bytes) { m_file.write(bytes); });
    put(swf::defineBitmapShapeTag(shapeId(m_count), bitmapId(m_count), plan.shown.width * swf::kTwipsPerStagePixel,
                                  plan.shown.height * swf::kTwipsPerStagePixel,
                                  orientationMatrix(plan.info.orientation(), plan.stored())));
    Fading fading{shapeId(m_count), centringMatrix(plan.shown, m_stage), 0};
    if (m_timeline.fadeFrames > 0 && (plan.shown.width != m_stage.width || plan.shown.height != m_stage.height)) {
        // The stage's black around a smaller picture fades in with it, so
        // the picture it covers fades out there.
        fading.margins = marginsId(m_count, m_pictures);
        const std::int32_t left = fading.placement.translateX, top = fading.placement.translateY;
        put(swf::defineMarginsShapeTag(fading.margins, m_stage.width * swf::kTwipsPerStagePixel,
                                       m_stage.height * swf::kTwipsPerStagePixel,
                                       {left, left + plan.shown.width * swf::kTwipsPerStagePixel, top,
                                        top + plan.shown.height * swf::kTwipsPerStagePixel}));
    }
    if (m_count == 0)
        m_first = fading;
    if (m_count > 0 && m_timeline.fadeFrames > 0) {
        fadeIn(fading);
        put(swf::removeObjectTag(kFadingDepth));
        if (fading.margins)
            put(swf::removeObjectTag(kFadingMarginsDepth));
    }
    put(swf::placeObjectTag({.depth = kShownDepth, .characterId = fading.shape, .replace = m_count > 0,
                             .matrix = fading.placement, .alpha88 = std::nullopt}));
    // The last frames of a picture that another follows belong to the fade
    // into it, written with that picture.
    const bool fadeFollows = m_count + 1 < m_pictures || m_loop;
    showFrames(m_timeline.framesPerPicture - (fadeFollows ? m_timeline.fadeFrames : 0));
    ++m_count;
    return m_file.failure();
}

Failure SwfSlideShowWriter::finish()
{
    // From the last picture back into the first; the player then starts over
    // at frame 1, which shows the first picture alone.
    if (m_loop && m_timeline.fadeFrames > 0)
        fadeIn(m_first);
    put(swf::endTag());
    if (m_file.failure())
        return m_file.failure();
    if (m_file.position() > UINT32_MAX)
        return Problem{{}, "the slide show is larger than a SWF file can be (4 GiB)"};
    swf::ByteWriter length;
    length.u32(std::uint32_t(m_file.position()));
    m_file.writeAt(swf::kFileLengthOffset, length.bytes());
    return m_file.failure();
}

void SwfSlideShowWriter::fadeIn(const Fading &picture)
{
    // Alpha j / (fadeFrames + 1) in fade frame j: the picture is whole in the
    // frame after the last one.
    const std::uint32_t steps = m_timeline.fadeFrames + 1;
    for (std::uint32_t frame = 1; frame < steps; ++frame) {
        const auto alpha = std::uint16_t((2 * swf::kOpaque88 * frame + steps) / (2 * steps));
        const bool place = frame == 1;
        put(swf::placeObjectTag({.depth = kFadingDepth, .characterId = place ? picture.shape : std::uint16_t(0),
                                 .replace = !place, .matrix = place ? std::optional(picture.placement) : std::nullopt,
                                 .alpha88 = alpha}));
        if (picture.margins)
            put(swf::placeObjectTag({.depth = kFadingMarginsDepth,
                                     .characterId = place ? picture.margins : std::uint16_t(0), .replace = !place,
                                     .matrix = std::nullopt, .alpha88 = alpha}));
        showFrames(1);
    }
}

void SwfSlideShowWriter::showFrames(std::uint32_t count)
{
    for (std::uint32_t frame = 0; frame < count; ++frame) {
        if (--m_remainingFrames == 0 && !m_loop)
            put(swf::stopActionTag());
        put(swf::showFrameTag());
    }
}
