// The sync state file: what the reader takes is written back byte for byte
// and reads back equal; anything else is refused with IoError. The texts it
// holds came from a server, so they also go through the card model, the
// field merge and the planner, which must not fail on them.
#include "fuzz/fuzz_support.h"
#include "sync/content_lines.h"
#include "sync/field_merge.h"
#include "sync/sync_planner.h"
#include "sync/sync_state.h"

using namespace wirtello;
using namespace wirtello::sync;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path folder = fuzz::emptyFolder("sync");
    const std::span<const std::uint8_t> input(data, size);
    const std::filesystem::path path = syncStatePath(folder, SyncScope::Contacts);
    std::filesystem::create_directories(path.parent_path());
    fuzz::writeFile(path, input);

    SyncState state;
    try {
        state = loadSyncState(path);
    } catch (const IoError& error) {
        FUZZ_CHECK(error.path() == path);
        return 0;
    }
    const std::string text = formatSyncState(state);
    const std::span<const std::uint8_t> written = fuzz::asBytes(text);
    FUZZ_CHECK(std::equal(written.begin(), written.end(), input.begin(), input.end()));
    saveSyncState(path, state);
    FUZZ_CHECK(fuzz::readFile(path) == std::vector<std::uint8_t>(input.begin(), input.end()));
    FUZZ_CHECK(loadSyncState(path) == state);

    // Nothing changed on either side: nothing to do, nothing fetched, for
    // every item whose ETag is known.
    PlanInput unchanged;
    unchanged.collectionHref = state.collectionHref;
    for (const SyncEntry& entry : state.entries) {
        if (entry.synced())
            unchanged.local.push_back({entry.key, entry.uid, *entry.localText});
        unchanged.server.items.push_back({entry.href, entry.etag});
    }
    const SyncPlan plan = planSync(unchanged, state);
    for (const SyncEntry& entry : state.entries) {
        const bool fetched = std::find(plan.fetch.begin(), plan.fetch.end(), entry.href) != plan.fetch.end();
        // (A text with long values was not written by the sync: it keeps their digests.)
        if (entry.synced() && entry.etag && digestedText(*entry.localText) == *entry.localText)
            FUZZ_CHECK(!fetched);
    }
    for (const SyncEntry& entry : state.entries)
        if (entry.synced()) {
            FUZZ_CHECK(sameContent(*entry.serverText, *entry.serverText));
            mergeChangedFields(*entry.serverText, *entry.localText, *entry.serverText);
            (void)firstUid(*entry.serverText);
        }
    return 0;
}
