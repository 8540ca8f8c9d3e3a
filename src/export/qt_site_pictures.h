#pragma once
// The web site's pictures: each page's chart is drawn on the calling thread (as the picture export
// draws it) and the picture is encoded and written by the picture writers on worker threads, while
// the walk goes on. A picture depends only on its drawing, so the files are the same bytes however
// many threads write them. Failures are reported on the calling thread, in the order of the
// pictures.

#include <QImage>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "base/reporter.h"
#include "export/web_site.h"

namespace arbolix {

class QtSitePictures final : public SitePictures {
public:
    // `writers` threads encode and write; 0 does everything on the calling thread.
    explicit QtSitePictures(Reporter& reporter, int writers = DefaultWriters());
    ~QtSitePictures() override;
    QtSitePictures(const QtSitePictures&) = delete;
    QtSitePictures& operator=(const QtSitePictures&) = delete;

    bool make(const SitePictureRequest& request) override;
    std::vector<int32_t> finish() override;

    // One writer per processor the system reports.
    static int DefaultWriters();

private:
    struct Job {
        int64_t order = 0;
        int32_t xref = 0;
        QImage image;
        std::string path;
        ColourMode mode = kColour24Bits;
        Colour background = 0;
        Colour pen = 0;
    };
    struct Outcome {
        int32_t xref = 0;
        bool written = false;
        std::vector<Message> messages;
    };

    void work();
    static Outcome write(const Job& job, Reporter& reporter);
    // Passes on the outcomes that are next in order; the lock is held.
    void deliver();
    void note(const Outcome& outcome);

    Reporter& reporter_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::map<int64_t, Outcome> outcomes_; // finished, by order of the pictures
    int64_t submitted_ = 0;
    int64_t delivered_ = 0;
    bool stopping_ = false;
    std::vector<int32_t> failed_;
};

} // namespace arbolix
