#include "export/qt_site_pictures.h"

#include <QThread>

#include <algorithm>

#include "export/qt_chart_export.h"

namespace arbolix {

namespace {

// Pictures drawn but not yet written, per writer: enough to keep every writer busy while the
// walk computes the next page, few enough to bound the memory they hold.
constexpr int64_t kWaitingPerWriter = 2;

} // namespace

QtSitePictures::QtSitePictures(Reporter& reporter, int writers) : reporter_(reporter) {
    for (int i = 0; i < writers; ++i) threads_.emplace_back([this] { work(); });
}

QtSitePictures::~QtSitePictures() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

int QtSitePictures::DefaultWriters() {
    return std::max(QThread::idealThreadCount(), 1);
}

bool QtSitePictures::make(const SitePictureRequest& request) {
    const ChartToDraw chart{request.tree, request.store, request.settings, request.view,
                            request.drawing};
    Job job{
        0,
        request.xref,
        RenderChartImage(chart, request.width, request.height, PictureTextSmoothing(request.mode)),
        request.path,
        request.mode,
        request.settings.texture_fond.brush.lbColor,
        request.settings.color_pen};
    if (job.image.isNull()) return false; // reported
    if (threads_.empty()) {
        note(write(job, reporter_));
        return failed_.empty();
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto limit = static_cast<int64_t>(threads_.size()) * kWaitingPerWriter;
        changed_.wait(lock,
                      [&] { return submitted_ - delivered_ - std::ssize(outcomes_) < limit; });
        job.order = submitted_++;
        queue_.push_back(std::move(job));
    }
    changed_.notify_all();
    deliver();
    return failed_.empty();
}

std::vector<int32_t> QtSitePictures::finish() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return delivered_ + std::ssize(outcomes_) == submitted_; });
    }
    deliver();
    return failed_;
}

QtSitePictures::Outcome QtSitePictures::write(const Job& job, Reporter& reporter) {
    const RenderedBitmap bitmap{job.image.constBits(), job.image.width(), job.image.height(),
                                static_cast<int32_t>(job.image.bytesPerLine())};
    const bool written = WritePictureFile(bitmap, job.mode, job.path, job.background, job.pen,
                                          reporter, FileSync::Later,
                                          PngColours::Compact) == PictureWriteResult::Written;
    return {job.xref, written, {}};
}

void QtSitePictures::work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        ListReporter messages;
        Outcome outcome = write(job, messages);
        outcome.messages = std::move(messages.messages);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            outcomes_.emplace(job.order, std::move(outcome));
        }
        changed_.notify_all();
    }
}

void QtSitePictures::deliver() {
    std::vector<Outcome> ready;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = outcomes_.find(delivered_); it != outcomes_.end();
             it = outcomes_.find(delivered_)) {
            ready.push_back(std::move(it->second));
            outcomes_.erase(it);
            ++delivered_;
        }
    }
    changed_.notify_all();
    // Outside the lock: a message box may take its time.
    for (const Outcome& outcome : ready) note(outcome);
}

void QtSitePictures::note(const Outcome& outcome) {
    for (const Message& message : outcome.messages) reporter_.report(message);
    if (!outcome.written) failed_.push_back(outcome.xref);
}

} // namespace arbolix
