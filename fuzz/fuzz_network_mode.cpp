// The network mode record: read whole, the folder it selects follows the
// mode byte, and switching to local mode changes the mode byte only.
#include "admin/network_mode.h"
#include "fuzz/fuzz_support.h"

using namespace wirtello;

namespace {

// What local mode selects: always this folder, whatever the record names (a
// copied folder, a Windows path, an empty text).
std::filesystem::path localSelection(const NetworkModeRecord&, const std::filesystem::path& current)
{
    return current;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path current = [] {
        const std::filesystem::path folder = fuzz::emptyFolder("network");
        std::filesystem::create_directory(folder / "ADMINI");
        return folder;
    }();
    fuzz::Input input(data, size);
    const bool localFolderIsCurrent = input.byte() & 1;
    const auto file = input.rest();
    const std::filesystem::path path = networkModePath(current);
    fuzz::writeFile(path, file);

    NetworkModeRecord record;
    try {
        record = loadNetworkMode(current);
    } catch (const IoError&) {
        FUZZ_CHECK(file.size() < NetworkModeRecord::kSize);
        return 0;
    }
    FUZZ_CHECK(file.size() >= NetworkModeRecord::kSize);
    if (localFolderIsCurrent) {
        // A record naming this very folder as the local one, as the first start writes it.
        record.setLocalFolder(current.string());
        storeRecord(path, record);
        record = loadNetworkMode(current);
    } else {
        FUZZ_CHECK(fuzz::bytesEqual(record, file.first(NetworkModeRecord::kSize)));
    }
    const std::vector<std::uint8_t> before(record.bytes().begin(), record.bytes().end());

    const std::filesystem::path selected = selectedFolder(record, current);
    const std::string local = record.localFolder();
    const std::string network = record.networkFolder();
    switch (record.mode()) {
    case NetworkModeRecord::kLocalMode:
        FUZZ_CHECK(selected == localSelection(record, current));
        break;
    case NetworkModeRecord::kNetworkMode:
        FUZZ_CHECK(inNetworkMode(record));
        FUZZ_CHECK(selected == (network.empty() ? current.root_path() : std::filesystem::path(network)));
        break;
    default:
        FUZZ_CHECK(!inNetworkMode(record));
        FUZZ_CHECK(selected == current);
    }

    switchToLocalMode(record, current);
    std::vector<std::uint8_t> expected = before;
    expected[0] = NetworkModeRecord::kLocalMode;
    FUZZ_CHECK(fuzz::readFile(path) == expected);
    const NetworkModeRecord local2 = loadNetworkMode(current);
    FUZZ_CHECK(local2 == record && local2.localFolder() == local && local2.networkFolder() == network);
    FUZZ_CHECK(selectedFolder(local2, current) == localSelection(local2, current));
    return 0;
}
