#include "Converter.h"

#include "FileStatus.h"
#include "Layout.h"
#include "OutputFile.h"
#include "PageWriter.h"
#include "Prepare.h"
#include "Progress.h"
#include "SlideShowWriter.h"
#include "SwfSlideShowWriter.h"
#include "Timeline.h"
#include "WorkerPool.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <future>
#include <memory>
#include <ostream>
#include <thread>
#include <utility>

namespace {

// Two character ids (bitmap and shape) per picture, and id 0 is reserved.
constexpr std::size_t kMaxPictures = 32767;
constexpr std::uint64_t kMaxFrames = 65535;

std::string describeDelay(double delay)
{
    std::string text = std::to_string(delay);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// The stage, sized once from the first picture, and every picture placed on it.
struct SlideShowPlan {
    Size stage;
    std::vector<PicturePlan> pictures;
};

// Probes every picture and names every bad one. Returns the plan when all are
// good.
std::optional<SlideShowPlan> planPictures(const Options &options, std::ostream &errors)
{
    std::vector<PicturePlan> plans;
    plans.reserve(options.pictures.size());
    std::optional<Size> stage;
    bool allGood = true;
    for (const std::string &path : options.pictures) {
        std::string error;
        const auto info = probePicture(path, error);
        if (!info) {
            errors << "jpeg2swf: " << path << ": " << error << '\n';
            allGood = false;
            continue;
        }
        if (!stage)
            stage = stageSize(*info, {options.maxWidth, options.maxHeight});
        plans.push_back(planPicture(path, *info, *stage));
    }

    if (const auto output = fileStatus(options.output)) {
        // The finished file is renamed over the output: that must never
        // replace a folder, a device or a pipe.
        if (output->kind != FileKind::Regular) {
            errors << "jpeg2swf: " << options.output << ": "
                   << (output->kind == FileKind::Folder ? "is a folder" : "not a regular file") << '\n';
            allGood = false;
        }
        for (const PicturePlan &plan : plans) {
            if (plan.info.file.id == output->id) {
                errors << "jpeg2swf: " << options.output << ": is the picture " << plan.path
                       << "; it would be overwritten\n";
                allGood = false;
                break;
            }
        }
    }
    if (!allGood)
        return std::nullopt;
    return SlideShowPlan{*stage, std::move(plans)};
}

// The frames of a SWF slide show of these options, or nothing, with the reason
// told, when no SWF file holds it.
std::optional<Timeline> swfTimeline(const Options &options, std::ostream &errors)
{
    const bool fade = options.fade > 0;
    const auto timeline = fade ? chooseFadeTimeline(options.delay, options.fade) : chooseTimeline(options.delay);
    if (!timeline) {
        errors << "jpeg2swf: a delay of " << describeDelay(options.delay);
        if (fade)
            errors << " seconds cannot be shown with --fade: a SWF file with crossfades plays 25 to 127 frames a"
                      " second and at most " << kMaxFadedFrames << " frames (a delay of 0.016 to 640 seconds)\n";
        else
            errors << " seconds cannot be shown: a SWF file shows at most 127 frames and at least 1/256 frame a second\n";
        return std::nullopt;
    }
    if (options.pictures.size() > kMaxPictures) {
        errors << "jpeg2swf: " << options.pictures.size() << " pictures do not fit one SWF file (at most "
               << kMaxPictures << ")\n";
        return std::nullopt;
    }
    const std::uint64_t frames = options.pictures.size() * std::uint64_t(timeline->framesPerPicture);
    if (fade && frames > kMaxFadedFrames) {
        const double rate = timeline->frameRate();
        errors << "jpeg2swf: " << options.pictures.size() << " pictures of " << describeDelay(options.delay)
               << " seconds do not fit one SWF file with --fade: at " << describeDelay(std::round(rate * 10) / 10)
               << " frames a second they take " << frames << " frames, and players stop after " << kMaxFadedFrames
               << " (" << describeDelay(std::floor(kMaxFadedFrames / rate)) << " seconds in all)\n";
        return std::nullopt;
    }
    if (frames > kMaxFrames) {
        errors << "jpeg2swf: " << options.pictures.size() << " pictures of " << timeline->framesPerPicture
               << " frames each do not fit one SWF file (at most " << kMaxFrames << " frames)\n";
        return std::nullopt;
    }
    return timeline;
}

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
    const auto timeline = page ? std::optional<Timeline>() : swfTimeline(options, errors);
    if (!page && !timeline)
        return kUsageError;

    Progress progress(options.pictures.size(), options.quiet);
    progress.counted();
    const auto plan = planPictures(options, errors);
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
                file, PageSettings{plan->stage, options.delay, options.fade, count, options.loop, pageTitle(options.output)});
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
