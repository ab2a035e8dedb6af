#include "SwfSlideShowWriter.h"

namespace {

constexpr std::uint8_t kSwfVersion = 10;
constexpr std::uint16_t kShownDepth = 1;
constexpr std::uint16_t kFadingDepth = 2;

// Two character ids per picture, its bitmap and its shape; id 0 is reserved.
std::uint16_t bitmapId(std::size_t picture)
{
    return std::uint16_t(2 * picture + 1);
}
std::uint16_t shapeId(std::size_t picture)
{
    return std::uint16_t(2 * picture + 2);
}

} // namespace

SwfSlideShowWriter::SwfSlideShowWriter(OutputFile &file, Size stage, Timeline timeline, std::size_t pictures,
                                       bool loop)
    : m_file(file), m_stage(stage), m_timeline(timeline), m_pictures(pictures), m_loop(loop)
{
    // A single picture has nothing to fade into.
    if (pictures < 2)
        m_timeline.fadeFrames = 0;
    m_header.version = kSwfVersion;
    m_header.frameSize = {0, stage.width * swf::kTwipsPerPixel, 0, stage.height * swf::kTwipsPerPixel};
    m_header.frameRate88 = timeline.frameRate88;
    m_header.frameCount = std::uint16_t(pictures * timeline.framesPerPicture);
    m_remainingFrames = m_header.frameCount;
    put(swf::encodeHeader(m_header));
    put(swf::fileAttributesTag());
    put(swf::setBackgroundColorTag(0, 0, 0));
}

void SwfSlideShowWriter::addPicture(const PicturePlan &plan, const PreparedPicture &picture)
{
    const std::uint64_t size = picture.size();
    if (size + 2 > UINT32_MAX)
        throw WriteError(plan.path + ": picture too large for a SWF tag");
    put(swf::defineBitsJpeg2Header(bitmapId(m_count), std::uint32_t(size)));
    picture.writeTo([this](std::span<const std::uint8_t> bytes) { m_file.write(bytes); });
    put(swf::defineBitmapShapeTag(shapeId(m_count), bitmapId(m_count), plan.shown.width * swf::kTwipsPerPixel,
                                  plan.shown.height * swf::kTwipsPerPixel,
                                  orientationMatrix(plan.info.orientation(), plan.stored())));
    const swf::Matrix placement = centringMatrix(plan.shown, m_stage);
    if (m_count == 0)
        m_firstPlacement = placement;
    if (m_count > 0 && m_timeline.fadeFrames > 0) {
        fadeIn(shapeId(m_count), placement);
        put(swf::removeObjectTag(kFadingDepth));
    }
    put(swf::placeObjectTag({.depth = kShownDepth, .characterId = shapeId(m_count), .replace = m_count > 0,
                             .matrix = placement, .alpha88 = std::nullopt}));
    // The last frames of a picture that another follows belong to the fade
    // into it, written with that picture.
    const bool fadeFollows = m_count + 1 < m_pictures || m_loop;
    showFrames(m_timeline.framesPerPicture - (fadeFollows ? m_timeline.fadeFrames : 0));
    ++m_count;
}

void SwfSlideShowWriter::finish()
{
    // From the last picture back into the first; the player then starts over
    // at frame 1, which shows the first picture alone.
    if (m_loop && m_timeline.fadeFrames > 0)
        fadeIn(shapeId(0), m_firstPlacement);
    put(swf::endTag());
    if (m_file.position() > UINT32_MAX)
        throw WriteError("the slide show is larger than a SWF file can be (4 GiB)");
    swf::ByteWriter length;
    length.u32(std::uint32_t(m_file.position()));
    m_file.writeAt(swf::kFileLengthOffset, length.bytes());
}

void SwfSlideShowWriter::fadeIn(std::uint16_t shape, const swf::Matrix &placement)
{
    // Alpha j / (fadeFrames + 1) in fade frame j: the picture is whole in the
    // frame after the last one.
    const std::uint32_t steps = m_timeline.fadeFrames + 1;
    for (std::uint32_t frame = 1; frame < steps; ++frame) {
        const auto alpha = std::uint16_t((2 * swf::kOpaque88 * frame + steps) / (2 * steps));
        if (frame == 1)
            put(swf::placeObjectTag({.depth = kFadingDepth, .characterId = shape, .replace = false,
                                     .matrix = placement, .alpha88 = alpha}));
        else
            put(swf::placeObjectTag({.depth = kFadingDepth, .characterId = 0, .replace = true,
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
