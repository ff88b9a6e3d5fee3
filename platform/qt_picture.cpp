#include "qt_picture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>

#include <list>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace wirtello {
namespace {

namespace fs = std::filesystem;

// What a kept picture was made from: a file whose size or time of change
// differs is decoded again.
struct FileStamp {
    std::uintmax_t size = 0;
    fs::file_time_type changed;
    bool known = false;

    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const fs::path& path)
{
    std::error_code sizeError;
    std::error_code timeError;
    FileStamp stamp;
    stamp.size = fs::file_size(path, sizeError);
    stamp.changed = fs::last_write_time(path, timeError);
    stamp.known = !sizeError && !timeError;
    return stamp;
}

std::string keyOf(const fs::path& path, QSize frame)
{
    return std::to_string(frame.width()) + "x" + std::to_string(frame.height()) + ":" + path.string();
}

// Frame pictures ready to show, the most recently shown first. Only the
// user-interface thread touches it.
class FrameImages {
public:
    const QImage* find(const std::string& key, const FileStamp& stamp)
    {
        const auto found = index_.find(key);
        if (found == index_.end())
            return nullptr;
        if (!stamp.known || found->second->stamp != stamp) {
            entries_.erase(found->second);
            index_.erase(found);
            return nullptr;
        }
        entries_.splice(entries_.begin(), entries_, found->second);
        return &entries_.front().image;
    }

    void put(const std::string& key, const FileStamp& stamp, const QImage& image)
    {
        if (const auto found = index_.find(key); found != index_.end()) {
            entries_.erase(found->second);
            index_.erase(found);
        }
        entries_.push_front({key, stamp, image});
        index_[key] = entries_.begin();
        while (entries_.size() > kCapacity) {
            index_.erase(entries_.back().key);
            entries_.pop_back();
        }
    }

    void clear()
    {
        entries_.clear();
        index_.clear();
    }

private:
    static constexpr std::size_t kCapacity = 64;
    struct Entry {
        std::string key;
        FileStamp stamp;
        QImage image;
    };
    std::list<Entry> entries_;
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};

FrameImages& frameImages()
{
    static FrameImages images;
    return images;
}

// Safe on any thread: touches nothing shared.
QImage decodeForFrame(const fs::path& path, QSize frame, std::uint64_t maxBlocks = kMaxJpegDecodeBlocks)
{
    const QImage image = toQImage(stretchPicture(decodeJpegFileToCover(path, frame.width(), frame.height(), maxBlocks),
                                                 frame.width(), frame.height()));
    if (image.isNull()) // Qt reports a failed allocation as a null image
        throw IoError(kPictureOutOfMemory, path);
    return image;
}

std::set<FramePhotoLoader*>& liveLoaders()
{
    static std::set<FramePhotoLoader*> loaders;
    return loaders;
}

} // namespace

QImage toQImage(const Picture& picture)
{
    if (picture.isNull())
        return {};
    QImage image(picture.rgb.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888);
    return image.copy(); // detach from the picture's buffer
}

QImage loadJpegImage(const std::filesystem::path& path)
{
    const QImage image = toQImage(decodeJpegFile(path));
    if (image.isNull()) // Qt reports a failed allocation as a null image
        throw IoError(kPictureOutOfMemory, path);
    return image;
}

QImage loadJpegImageForFrame(const std::filesystem::path& path, QSize frame, std::uint64_t maxBlocks)
{
    const std::string key = keyOf(path, frame);
    const FileStamp stamp = stampOf(path);
    if (const QImage* kept = frameImages().find(key, stamp))
        return *kept;
    QImage image = decodeForFrame(path, frame, maxBlocks);
    if (stamp.known)
        frameImages().put(key, stamp, image);
    return image;
}

void forgetFramePictures()
{
    frameImages().clear();
}

// ---- FramePhotoLoader ----

struct FramePhotoLoader::Result {
    std::uint64_t request = 0;
    std::string key;
    FileStamp stamp;
    QImage image;
    std::optional<IoError> error;
};

FramePhotoLoader::FramePhotoLoader(QLabel& frame)
    : QObject(&frame), frame_(frame), latest_(std::make_shared<std::atomic<std::uint64_t>>(0))
{
    // One photo at a time: the user looks at one contact.
    pool_.setMaxThreadCount(1);
    liveLoaders().insert(this);
}

FramePhotoLoader::~FramePhotoLoader()
{
    liveLoaders().erase(this);
    latest_->store(0); // a queued decoding need not start
    pool_.clear();
    pool_.waitForDone();
}

void FramePhotoLoader::cancel()
{
    latest_->store(++request_);
    pending_ = false;
}

void FramePhotoLoader::showAtOnce(const std::filesystem::path& path)
{
    cancel();
    frame_.setPixmap(QPixmap::fromImage(loadJpegImageForFrame(path, frame_.size())));
}

void FramePhotoLoader::show(const std::filesystem::path& path, const std::function<void()>& standIn,
                            const ErrorHandler& onError)
{
    cancel();
    const QSize size = frame_.size();
    const FileStamp stamp = stampOf(path);
    if (const QImage* kept = frameImages().find(keyOf(path, size), stamp)) {
        frame_.setPixmap(QPixmap::fromImage(*kept));
        return;
    }
    if (!stamp.known || stamp.size <= kFramePhotoAtOnceBytes) {
        try {
            frame_.setPixmap(QPixmap::fromImage(loadJpegImageForFrame(path, size, kFramePhotoAtOnceBlocks)));
            return;
        } catch (const JpegWorkLimitError&) {
            // More work than the window may wait for: decoded in the background below.
        } catch (const IoError& error) {
            onError(error);
            standIn();
            return;
        }
    }

    standIn();
    pending_ = true;
    onError_ = onError;
    const std::uint64_t request = request_;
    pool_.start([this, latest = latest_, request, path, size, stamp, key = keyOf(path, size)] {
        if (latest->load() != request)
            return; // overtaken before it started: the user has moved on
        Result result{request, key, stamp, {}, std::nullopt};
        try {
            result.image = decodeForFrame(path, size);
        } catch (const IoError& error) {
            result.error = error;
        } catch (const std::exception&) {
            result.error = IoError(kReadFailed, path);
        }
        // The loader waits for this task before it goes, so it is still here.
        QMetaObject::invokeMethod(this, [this, result = std::move(result)] { deliver(result); }, Qt::QueuedConnection);
    });
}

void FramePhotoLoader::deliver(const Result& result)
{
    if (!result.error && result.stamp.known)
        frameImages().put(result.key, result.stamp, result.image); // kept even if no longer wanted
    if (result.request != request_ || !pending_)
        return;
    pending_ = false;
    if (result.error) {
        if (onError_)
            onError_(*result.error);
        return; // the stand-in stays
    }
    frame_.setPixmap(QPixmap::fromImage(result.image));
}

void FramePhotoLoader::waitForDecoding()
{
    pool_.waitForDone();
}

void FramePhotoLoader::wait()
{
    if (!pending_)
        return;
    waitForDecoding();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    pending_ = false; // delivered, or overtaken with nothing left to deliver
}

FramePhotoLoader& framePhotoLoader(QLabel& frame)
{
    if (auto* loader = frame.findChild<FramePhotoLoader*>(QString(), Qt::FindDirectChildrenOnly))
        return *loader;
    return *new FramePhotoLoader(frame);
}

void waitForFramePhotos()
{
    for (FramePhotoLoader* loader : std::set<FramePhotoLoader*>(liveLoaders()))
        loader->wait();
}

} // namespace wirtello
