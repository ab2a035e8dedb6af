#pragma once

// The slide show as a SWF file: each picture defined once as a bitmap and a
// shape, shown at depth 1 for its frames. A crossfade places the next picture
// at depth 2 (and the black margins around it, when it is smaller than the
// stage, at depth 3) with an alpha rising frame by frame, then puts it at
// depth 1 in place of the one it covered, so the player does the blending and
// each frame costs a few bytes.

#include "OutputFile.h"
#include "SlideShowWriter.h"
#include "SwfWriter.h"
#include "Timeline.h"

class SwfSlideShowWriter final : public SlideShowWriter
{
public:
    SwfSlideShowWriter(OutputFile &file, Size stage, Timeline timeline, std::size_t pictures, bool loop);
    Failure addPicture(const PicturePlan &plan, const PreparedPicture &picture) override;
    Failure finish() override;

private:
    // A picture as it fades in: its shape, where it stands, and the shape of
    // its margins (0: it fills the stage).
    struct Fading {
        std::uint16_t shape;
        swf::Matrix placement;
        std::uint16_t margins;
    };
    void fadeIn(const Fading &picture);
    void showFrames(std::uint32_t count);
    void put(const Bytes &bytes) { m_file.write(bytes); }

    OutputFile &m_file;
    Size m_stage;
    Timeline m_timeline;
    std::size_t m_pictures;
    bool m_loop;
    std::size_t m_count = 0;
    std::uint64_t m_remainingFrames = 0;
    Fading m_first{};   // what a looping show fades back into
};
