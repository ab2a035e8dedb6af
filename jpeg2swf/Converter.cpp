#include "Converter.h"

#include "FileStatus.h"
#include "Layout.h"
#include "MemoryBudget.h"
#include "OutputFile.h"
#include "PageWriter.h"
#include "Prepare.h"
#include "Progress.h"
#include "SlideShowWriter.h"
#include "SwfSlideShowWriter.h"
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
    if (const auto why = page ? std::nullopt : whySwfCannotShow(options.pictures.size(), options.delay, options.fade)) {
        errors << "jpeg2swf: " << *why << '\n';
        return kUsageError;
    }
    const auto timeline = page ? std::nullopt : chooseSwfTimeline(options.delay, options.fade);

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
