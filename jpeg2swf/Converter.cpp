#include "Converter.h"

#include "FileStatus.h"
#include "Layout.h"
#include "MemoryBudget.h"
#include "OutputFile.h"
#include "PageWriter.h"
#include "Prepare.h"
#include "Progress.h"
#include "SlideShowWriter.h"
#include "Timeline.h"
#include "WorkerPool.h"

#include <algorithm>
#include <deque>
#include <future>
#include <memory>
#include <ostream>
#include <thread>
#include <utility>

namespace {

constexpr std::uint8_t kSwfVersion = 10;

// The stage, sized once from the first picture, and every picture placed on it.
struct SlideShowPlan {
    Size stage;
    std::vector<PicturePlan> pictures;
};

// Probes every picture and names every bad one. Returns the plan when all are
// good.
std::optional<SlideShowPlan> planPictures(const Options &options, std::ostream &errors, Progress &progress)
{
    std::vector<PicturePlan> plans;
    plans.reserve(options.pictures.size());
    std::optional<Size> stage;
    bool allGood = true;
    std::size_t checked = 0;
    for (const std::string &path : options.pictures) {
        std::string error;
        const auto info = probePicture(path, error);
        progress.checked(++checked);
        if (!info) {
            errors << "jpeg2swf: " << path << ": " << error << '\n';
            allGood = false;
            continue;
        }
        if (!stage)
            stage = stageSize(*info, {options.maxWidth, options.maxHeight});
        PicturePlan plan = planPicture(path, *info, *stage);
        if (const std::string why = whyOverBudget(memoryToPrepare(plan)); !why.empty()) {
            errors << "jpeg2swf: " << path << ": " << why << '\n';
            allGood = false;
            continue;
        }
        plans.push_back(std::move(plan));
    }

    if (const auto output = fileStatus(options.output)) {
        // The finished file is renamed over the output: that must never
        // replace a folder, a device or a pipe.
        if (output->kind != FileKind::Regular) {
            errors << "jpeg2swf: " << options.output << ": "
                   << (output->kind == FileKind::Folder ? "is a folder" : "not a regular file") << '\n';
            allGood = false;
        }
        // Nor a picture, listed or not: a slip such as "-o *.jpg" must not
        // cost a photo.
        if (const auto format = pictureFormatOfFile(options.output)) {
            errors << "jpeg2swf: " << options.output << ": is a " << formatName(*format)
                   << " picture; a slide show never replaces a picture\n";
            allGood = false;
        }
    }
    if (!allGood)
        return std::nullopt;
    return SlideShowPlan{*stage, std::move(plans)};
}

class SwfSlideShowWriter final : public SlideShowWriter
{
public:
    SwfSlideShowWriter(OutputFile &file, Size stage, Timeline timeline, std::size_t pictures, bool loop)
        : m_file(file), m_stage(stage), m_timeline(timeline), m_loop(loop)
    {
        m_header.version = kSwfVersion;
        m_header.frameSize = {0, stage.width * swf::kTwipsPerPixel, 0, stage.height * swf::kTwipsPerPixel};
        m_header.frameRate88 = timeline.frameRate88;
        m_header.frameCount = std::uint16_t(pictures * timeline.framesPerPicture);
        m_remainingFrames = m_header.frameCount;
        put(swf::encodeHeader(m_header));
        put(swf::fileAttributesTag());
        put(swf::setBackgroundColorTag(0, 0, 0));
    }

    void addPicture(const PicturePlan &plan, const PreparedPicture &picture) override
    {
        const auto bitmapId = std::uint16_t(2 * m_count + 1);
        const auto shapeId = std::uint16_t(bitmapId + 1);
        const std::uint64_t size = picture.size();
        if (size + 2 > UINT32_MAX)
            throw WriteError(plan.path + ": picture too large for a SWF tag");
        put(swf::defineBitsJpeg2Header(bitmapId, std::uint32_t(size)));
        picture.writeTo([this](std::span<const std::uint8_t> bytes) { m_file.write(bytes); });
        put(swf::defineBitmapShapeTag(shapeId, bitmapId, plan.shown.width * swf::kTwipsPerPixel,
                                      plan.shown.height * swf::kTwipsPerPixel,
                                      orientationMatrix(plan.info.orientation(), plan.stored())));
        put(swf::placeObjectTag(shapeId, m_count > 0, centringMatrix(plan.shown, m_stage)));
        for (std::uint32_t frame = 0; frame < m_timeline.framesPerPicture; ++frame) {
            if (--m_remainingFrames == 0 && !m_loop)
                put(swf::stopActionTag());
            put(swf::showFrameTag());
        }
        ++m_count;
    }

    void finish() override
    {
        put(swf::endTag());
        if (m_file.position() > UINT32_MAX)
            throw WriteError("the slide show is larger than a SWF file can be (4 GiB)");
        swf::ByteWriter length;
        length.u32(std::uint32_t(m_file.position()));
        m_file.writeAt(swf::kFileLengthOffset, length.bytes());
    }

private:
    void put(const swf::Bytes &bytes) { m_file.write(bytes); }

    OutputFile &m_file;
    Size m_stage;
    Timeline m_timeline;
    bool m_loop;
    swf::Header m_header;
    std::size_t m_count = 0;
    std::uint64_t m_remainingFrames = 0;
};

// Prepares pictures on worker threads, a bounded window ahead of the writer,
// and hands them over in list order.
void writePictures(const std::vector<PicturePlan> &plans, const Options &options, SlideShowWriter &writer,
                   Progress &progress)
{
    const unsigned jobs = options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    std::deque<std::future<PreparedPicture>> window;
    WorkerPool workers(jobs);
    std::size_t next = 0;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        while (next < plans.size() && window.size() < jobs) {
            const PicturePlan &plan = plans[next++];
            // Even a picture embedded as it is must be read whole: on a worker,
            // while the one before is written.
            window.push_back(workers.submit([&plan, quality = options.quality] {
                return preparePicture(plan, quality);
            }));
        }
        PreparedPicture picture;
        try {
            picture = window.front().get();
        } catch (const CodecError &error) {
            throw WriteError(plans[i].path + ": " + error.what());
        }
        window.pop_front();
        writer.addPicture(plans[i], picture);
        progress.written(i + 1);
    }
}

} // namespace

int convert(const Options &options, std::ostream &errors)
{
    // A web page holds any number of pictures at any delay; a SWF file's
    // header and frame counts limit both.
    const bool page = isPageName(options.output);
    if (const auto why = page ? std::nullopt : whySwfCannotShow(options.pictures.size(), options.delay)) {
        errors << "jpeg2swf: " << *why << '\n';
        return kUsageError;
    }
    const auto timeline = chooseTimeline(options.delay);

    Progress progress(options.pictures.size(), options.quiet);
    progress.counted();
    const auto plan = planPictures(options, errors, progress);
    if (!plan) {
        errors << "jpeg2swf: nothing was written\n";
        return kFailed;
    }

    try {
        OutputFile file;
        file.create(options.output);
        const std::size_t count = plan->pictures.size();
        std::unique_ptr<SlideShowWriter> writer;
        if (page)
            writer = std::make_unique<PageWriter>(
                file, PageSettings{plan->stage, options.delay, count, options.loop, pageTitle(options.output)});
        else
            writer = std::make_unique<SwfSlideShowWriter>(file, plan->stage, *timeline, count, options.loop);
        writePictures(plan->pictures, options, *writer, progress);
        writer->finish();
        file.commit();
        progress.finished();
    } catch (const WriteError &error) {
        progress.endLine();
        errors << "jpeg2swf: " << error.what() << "\njpeg2swf: nothing was written\n";
        return kFailed;
    } catch (const std::bad_alloc &) {
        progress.endLine();
        errors << "jpeg2swf: out of memory\njpeg2swf: nothing was written\n";
        return kFailed;
    } catch (const std::exception &error) {
        progress.endLine();
        errors << "jpeg2swf: " << error.what() << "\njpeg2swf: nothing was written\n";
        return kFailed;
    }
    return kWritten;
}
