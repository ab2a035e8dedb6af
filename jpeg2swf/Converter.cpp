#include "Converter.h"

#include "FileStatus.h"
#include "Layout.h"
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
#include <unordered_map>
#include <utility>

namespace {

// Two character ids (bitmap and shape) per picture, and id 0 is reserved.
constexpr std::size_t kMaxPictures = 32767;
constexpr std::uint64_t kMaxFrames = 65535;
constexpr std::uint8_t kSwfVersion = 10;

std::string describeDelay(double delay)
{
    std::string text = std::to_string(delay);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// The stage, sized once from the first good picture, and every picture placed on it.
struct SlideShowPlan {
    Size stage;
    std::vector<PicturePlan> pictures;
};

// Probes every picture and adds every bad one to problems. Returns the plan;
// it is whole only when no problem was added.
SlideShowPlan planPictures(const Options &options, std::vector<Problem> &problems)
{
    SlideShowPlan plan;
    plan.pictures.reserve(options.pictures.size());
    bool staged = false;
    for (const std::string &path : options.pictures) {
        const auto info = probePicture(path);
        if (!info) {
            problems.push_back(info.problem());
            continue;
        }
        if (!staged)
            plan.stage = stageSize(*info, {options.maxWidth, options.maxHeight});
        staged = true;
        PicturePlan picture = planPicture(path, *info, plan.stage);
        const Size stored = picture.stored();
        // A picture of the file's own size that libjpeg cannot hold was refused
        // with its header; one made from another format is found here.
        if (stored.width > kMaxJpegSide || stored.height > kMaxJpegSide)
            problems.push_back({path, tooLargeForJpeg(stored.width, stored.height)});
        plan.pictures.push_back(std::move(picture));
    }

    if (const auto output = fileStatus(options.output)) {
        // The finished file is renamed over the output: that must never
        // replace a folder, a device or a pipe.
        if (output->kind != FileKind::Regular)
            problems.push_back({options.output, output->kind == FileKind::Folder ? "is a folder" : "not a regular file"});
        for (const PicturePlan &picture : plan.pictures) {
            if (picture.info.file.id == output->id) {
                problems.push_back({options.output, "is the picture " + picture.path + "; it would be overwritten"});
                break;
            }
        }
    }
    return plan;
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
// and hands them over in list order. A picture that cannot be prepared is added
// to problems and ends the writing, but the rest are still prepared, so that
// every bad picture is named; without a writer, that is all. Returns whether
// every picture was written.
bool writePictures(const std::vector<PicturePlan> &plans, const Options &options, SlideShowWriter *writer,
                   Progress &progress, std::vector<Problem> &problems)
{
    const unsigned jobs = options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    std::deque<std::future<Checked<PreparedPicture>>> window;
    WorkerPool workers(jobs);
    std::size_t next = 0;
    bool writing = writer != nullptr;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        while (next < plans.size() && window.size() < jobs) {
            const PicturePlan &plan = plans[next++];
            // Even a picture embedded as it is must be read and decoded whole:
            // on a worker, while the one before is written.
            window.push_back(workers.submit([&plan, quality = options.quality]() -> Checked<PreparedPicture> {
                try {
                    return preparePicture(plan, quality);
                } catch (const std::bad_alloc &) {
                    return Problem{plan.path, "not enough memory to prepare it"};
                }
            }));
        }
        const Checked<PreparedPicture> picture = window.front().get();
        window.pop_front();
        if (!picture) {
            problems.push_back(picture.problem());
            writing = false;
        } else if (writing) {
            writer->addPicture(plans[i], *picture);
            progress.written(i + 1);
        }
    }
    return writing;
}

// Writes the slide show of a plan without problems, or adds what kept it from
// being written. The output's own failures arrive here as WriteError.
void writeSlideShow(const SlideShowPlan &plan, const Options &options, std::optional<Timeline> timeline,
                    Progress &progress, std::vector<Problem> &problems)
{
    try {
        OutputFile file;
        file.create(options.output);
        const std::size_t count = plan.pictures.size();
        std::unique_ptr<SlideShowWriter> writer;
        if (!timeline)
            writer = std::make_unique<PageWriter>(
                file, PageSettings{plan.stage, options.delay, count, options.loop, pageTitle(options.output)});
        else
            writer = std::make_unique<SwfSlideShowWriter>(file, plan.stage, *timeline, count, options.loop);
        if (!writePictures(plan.pictures, options, writer.get(), progress, problems))
            return;   // the unfinished file goes with `file`
        writer->finish();
        file.commit();
    } catch (const WriteError &error) {
        problems.push_back({{}, error.what()});
    } catch (const std::bad_alloc &) {
        problems.push_back({{}, "out of memory"});
    }
}

} // namespace

int convert(const Options &options, std::ostream &errors)
{
    // A web page holds any number of pictures at any delay; a SWF file's
    // header and frame counts limit both.
    const bool page = isPageName(options.output);
    const auto timeline = chooseTimeline(options.delay);
    if (!page && !timeline) {
        errors << "jpeg2swf: a delay of " << describeDelay(options.delay)
               << " seconds cannot be shown: a SWF file shows at most 127 frames and at least 1/256 frame a second\n";
        return kUsageError;
    }
    if (!page && options.pictures.size() > kMaxPictures) {
        errors << "jpeg2swf: " << options.pictures.size() << " pictures do not fit one SWF file (at most "
               << kMaxPictures << ")\n";
        return kUsageError;
    }
    const std::uint64_t frames = page ? 0 : options.pictures.size() * std::uint64_t(timeline->framesPerPicture);
    if (frames > kMaxFrames) {
        errors << "jpeg2swf: " << options.pictures.size() << " pictures of " << timeline->framesPerPicture
               << " frames each do not fit one SWF file (at most " << kMaxFrames << " frames)\n";
        return kUsageError;
    }

    Progress progress(options.pictures.size(), options.quiet);
    progress.counted();
    std::vector<Problem> problems;
    const SlideShowPlan plan = planPictures(options, problems);
    if (problems.empty())
        writeSlideShow(plan, options, page ? std::nullopt : timeline, progress, problems);
    else
        writePictures(plan.pictures, options, nullptr, progress, problems);   // to name the rest
    if (problems.empty()) {
        progress.finished();
        return kWritten;
    }
    progress.endLine();
    // In list order, whichever step found them; the output's own last.
    std::unordered_map<std::string, std::size_t> position;
    for (std::size_t i = 0; i < options.pictures.size(); ++i)
        position.try_emplace(options.pictures[i], i);
    const auto rank = [&](const Problem &problem) {
        const auto found = position.find(problem.path);
        return found == position.end() ? SIZE_MAX : found->second;
    };
    std::stable_sort(problems.begin(), problems.end(),
                     [&](const Problem &a, const Problem &b) { return rank(a) < rank(b); });
    for (const Problem &problem : problems)
        errors << "jpeg2swf: " << (problem.path.empty() ? "" : problem.path + ": ") << problem.reason << '\n';
    errors << "jpeg2swf: nothing was written\n";
    return kFailed;
}
