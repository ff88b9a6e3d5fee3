#pragma once

// A read-only window's eye on its document: another copy of the companion
// holds the lock and writes the file; this one shows what it wrote and may
// take over once the lock is free.

#include "companions/companion_kit/companion_files.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <optional>

class QTimer;

namespace wirtello {

class Platform;

// What a read-only window asks when lockFree comes.
inline constexpr const char* kTakeOverQuestion =
    "Dokument nie jest już otwarty w innym oknie. Odczytać go ponownie i otworzyć tutaj do edycji?";

class DocumentWatch : public QObject {
    Q_OBJECT

public:
    // Looks at `file` every `intervalMs` while watching.
    DocumentWatch(std::filesystem::path file, QObject* parent, int intervalMs = 2000);

    // Starts or stops looking; a window with the lock has nothing to watch.
    void setWatching(bool watching);
    bool watching() const;

    // One look, as the timer takes it (tests call it directly): tells
    // changedOnDisk when the file is not the one seen last, then lockFree
    // when its lock could be taken. The lock taken is held for takeLock().
    void check();

    // The lock found free by check(), once; nothing when there is none.
    std::optional<DocumentLock> takeLock();

    // The user wants to stay read-only: the lock found free is let go for any
    // other copy and not offered again, and changes are still told.
    void declineLock();

    // The usual answer to lockFree: `rereadWhole` reads the file again (false
    // when it cannot be read whole, so that a store would drop lines: the
    // window then stays read-only), then the user is asked kTakeOverQuestion.
    // The lock when the user takes the document over; otherwise declineLock().
    std::optional<DocumentLock> takeOverIfWanted(Platform& platform, const std::function<bool()>& rereadWhole);

    // The file as it is now counts as seen (after the window read or wrote it).
    void markSeen();

signals:
    void changedOnDisk();
    void lockFree();

private:
    struct Stamp {
        bool exists = false;
        unsigned long long device = 0, inode = 0, size = 0;
        long long modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stampNow() const;

    std::filesystem::path file_;
    QTimer* timer_;
    Stamp seen_;
    std::optional<DocumentLock> freeLock_;
    bool offerLock_ = true;
};

} // namespace wirtello
