#pragma once

#include "store/io_error.h"
#include "store/jpeg_picture.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class QLabel;

namespace wirtello {

QImage toQImage(const Picture& picture);

// Decodes a JPEG file at full size with libjpeg (printouts need every pixel);
// raises IoError naming the file.
QImage loadJpegImage(const std::filesystem::path& path);

// A photo for a picture frame of `frame` size: decoded only as finely as the
// frame needs, stretched to it, upright, and kept so that showing the same
// unchanged file again costs no decoding. Raises IoError naming the file
// (JpegWorkLimitError for a picture of more than `maxBlocks` decoding work).
QImage loadJpegImageForFrame(const std::filesystem::path& path, QSize frame,
                             std::uint64_t maxBlocks = kMaxJpegDecodeBlocks);

// Forgets the photos kept by loadJpegImageForFrame and FramePhotoLoader.
void forgetFramePictures();

// Photo files up to this size are decoded at once (a millisecond or two);
// larger ones by FramePhotoLoader in the background. So are small files
// whose decoding takes more work than this (8x8 blocks read, a few
// hundredths of a second): a small file may claim a huge picture in many scans.
inline constexpr std::uintmax_t kFramePhotoAtOnceBytes = 128 * 1024;
inline constexpr std::uint64_t kFramePhotoAtOnceBlocks = 1'000'000;

// Shows photos in a picture frame without making the user wait for a large
// one. A photo already kept, or a small file, is shown at once; a larger file
// is decoded on a worker thread while the frame shows a stand-in, and appears
// when it is ready unless the frame has been given something else meanwhile.
// Requests overtaken before their decoding started are dropped unstarted.
class FramePhotoLoader : public QObject {
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(const IoError&)>;

    explicit FramePhotoLoader(QLabel& frame);
    ~FramePhotoLoader() override;

    // Shows `path` in the frame. While a large photo is decoded, and when the
    // photo cannot be shown, `standIn` fills the frame; `onError` is told of a
    // file that cannot be shown (at once, or when its decoding ends, and then
    // only if it is still the frame's photo).
    void show(const std::filesystem::path& path, const std::function<void()>& standIn, const ErrorHandler& onError);
    // Shows `path` now, whatever its size; raises IoError naming the file.
    void showAtOnce(const std::filesystem::path& path);
    // The frame shows something else now: a photo still being decoded is not shown.
    void cancel();

    // Whether a photo is being decoded for the frame.
    bool pending() const { return pending_; }
    // Waits until the pending photo (if any) is in the frame or reported.
    void wait();
    // Waits until decoding in the background has ended; its result comes
    // with the next events, and only if nothing has overtaken it by then.
    void waitForDecoding();

private:
    struct Result;
    void deliver(const Result& result);

    QLabel& frame_;
    QThreadPool pool_;
    std::shared_ptr<std::atomic<std::uint64_t>> latest_;
    std::uint64_t request_ = 0;
    bool pending_ = false;
    ErrorHandler onError_;
};

// The loader of a frame, made on first use; it lives as long as the frame.
FramePhotoLoader& framePhotoLoader(QLabel& frame);

// Waits until no frame of the program has a photo being decoded.
void waitForFramePhotos();

} // namespace wirtello
