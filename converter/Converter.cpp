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
#include <unordered_map>
#include <utility>

namespace {

// The stage, sized once from the first good picture, and every picture placed on it.
struct SlideShowPlan {
    Size stage;
    std::vector<PicturePlan> pictures;
};

// Probes every picture and adds every bad one to problems. Returns the plan;
// it is whole only when no problem was added.
SlideShowPlan planPictures(const Options &options, Progress &progress, std::vector<Problem> &problems)
{
    SlideShowPlan plan;
    plan.pictures.reserve(options.pictures.size());
    bool staged = false;
    std::size_t checked = 0;
    for (const std::string &path : options.pictures) {
        const auto info = probePicture(path);
        progress.checked(++checked);
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
        // with its header; one made from another format is found here. Neither
        // it nor one over the memory budget is prepared.
        if (stored.width > kMaxJpegSide || stored.height > kMaxJpegSide)
            problems.push_back({path, tooLargeForJpeg(stored.width, stored.height)});
        else if (std::string why = whyOverBudget(memoryToPrepare(picture)); !why.empty())
            problems.push_back({path, std::move(why)});
        else
            plan.pictures.push_back(std::move(picture));
    }

    if (const auto output = fileStatus(options.output)) {
        // The finished file is renamed over the output: that must never
        // replace a folder, a device or a pipe.
        if (output->kind != FileKind::Regular)
            problems.push_back({options.output, output->kind == FileKind::Folder ? "is a folder" : "not a regular file"});
        // Nor a picture, listed or not: a slip such as "-o *.jpg" must not
        // cost a photo.
        if (const auto format = pictureFormatOfFile(options.output))
            problems.push_back({options.output, std::string("is a ") + formatName(*format)
                                                    + " picture; a slide show never replaces a picture"});
    }
    return plan;
}

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
            if (Failure failed = writer->addPicture(plans[i], *picture)) {
                problems.push_back(std::move(*failed));
                return false;   // the output failed: nothing more to learn
            }
            progress.written(i + 1);
        }
    }
    return writing;
}

// Writes the slide show of a plan without problems, or adds what kept it from
// being written.
void writeSlideShow(const SlideShowPlan &plan, const Options &options, std::optional<Timeline> timeline,
                    Progress &progress, std::vector<Problem> &problems)
{
    try {
        OutputFile file;
        if (Failure failed = file.create(options.output)) {
            problems.push_back(std::move(*failed));
            return;
        }
        const std::size_t count = plan.pictures.size();
        std::unique_ptr<SlideShowWriter> writer;
        if (!timeline)
            writer = std::make_unique<PageWriter>(
                file, PageSettings{plan.stage, options.delay, options.fade, count, options.loop, pageTitle(options.output)});
        else
            writer = std::make_unique<SwfSlideShowWriter>(file, plan.stage, *timeline, count, options.loop);
        if (!writePictures(plan.pictures, options, writer.get(), progress, problems))
            return;   // the unfinished file goes with `file`
        Failure failed = writer->finish();
        if (!failed)
            failed = file.commit();
        if (failed)
            problems.push_back(std::move(*failed));
    } catch (const std::bad_alloc &) {
        problems.push_back({{}, "out of memory"});
    }
}

} // namespace

int runConversion(const Options &options, std::ostream &errors)
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
    std::vector<Problem> problems;
    const SlideShowPlan plan = planPictures(options, progress, problems);
    if (problems.empty())
        writeSlideShow(plan, options, timeline, progress, problems);
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
