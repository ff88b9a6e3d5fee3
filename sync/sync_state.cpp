#include "sync/sync_state.h"

#include "store/confined_folder.h"
#include "store/io_error.h"
#include "store/record_file.h"
#include "store/safe_file.h"

#include <algorithm>
#include <charconv>
#include <set>

namespace wirtello::sync {

namespace {

constexpr std::string_view kMagic = "WIRTELLO-SYNC 1";

std::string escaped(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

class Reader {
public:
    Reader(std::string_view text, const std::filesystem::path& path) : text_(text), path_(path) {}

    [[noreturn]] void refuse(const std::string& why) const
    {
        throw IoError("Plik stanu synchronizacji jest uszkodzony (wiersz " + std::to_string(line_) + ": " + why
                          + ")",
                      path_);
    }

    bool atEnd() const { return pos_ >= text_.size(); }

    std::string_view nextLine()
    {
        if (atEnd())
            refuse("plik kończy się przedwcześnie");
        const std::size_t end = text_.find('\n', pos_);
        ++line_;
        if (end == std::string_view::npos)
            refuse("brak końca wiersza");
        const std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return line;
    }

    // The next line's word, without taking the line.
    std::string_view peekWord() const
    {
        if (atEnd())
            return {};
        std::string_view rest = text_.substr(pos_);
        return rest.substr(0, std::min(rest.find(' '), rest.find('\n')));
    }

    std::string field(std::string_view word)
    {
        const std::string_view line = nextLine();
        if (line.size() <= word.size() || line.substr(0, word.size()) != word || line[word.size()] != ' ')
            refuse("oczekiwano „" + std::string(word) + "”");
        return unescaped(line.substr(word.size() + 1));
    }

    std::optional<std::string> optionalField(std::string_view word)
    {
        if (peekWord() != word)
            return std::nullopt;
        return field(word);
    }

    void exact(std::string_view expected, const std::string& why)
    {
        if (nextLine() != expected)
            refuse(why);
    }

private:
    std::string unescaped(std::string_view value) const
    {
        std::string out;
        out.reserve(value.size());
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\r')
                refuse("znak CR poza sekwencją \\r");
            if (value[i] != '\\') {
                out += value[i];
                continue;
            }
            if (++i == value.size())
                refuse("niedokończona sekwencja \\");
            switch (value[i]) {
            case '\\': out += '\\'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            default: refuse("nieznana sekwencja \\" + std::string(1, value[i]));
            }
        }
        return out;
    }

    std::string_view text_;
    const std::filesystem::path& path_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
};

// What would make the reader refuse the state, or nothing.
std::optional<std::string> problemOf(const SyncState& state)
{
    std::set<std::string_view> keys;
    std::set<std::string_view> hrefs;
    for (const SyncEntry& entry : state.entries) {
        if (!keys.insert(entry.key).second)
            return "klucz „" + entry.key + "” powtarza się";
        if (!hrefs.insert(entry.href).second)
            return "adres „" + entry.href + "” powtarza się";
        if (entry.serverText.has_value() != entry.localText.has_value())
            return "element „" + entry.key + "” ma tylko jedną z treści";
    }
    return std::nullopt;
}

} // namespace

const SyncEntry* SyncState::byKey(std::string_view key) const
{
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const SyncEntry& e) { return e.key == key; });
    return it == entries.end() ? nullptr : &*it;
}

SyncEntry* SyncState::byKey(std::string_view key)
{
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const SyncEntry& e) { return e.key == key; });
    return it == entries.end() ? nullptr : &*it;
}

const SyncEntry* SyncState::byHref(std::string_view href) const
{
    const auto it = std::find_if(entries.begin(), entries.end(), [&](const SyncEntry& e) { return e.href == href; });
    return it == entries.end() ? nullptr : &*it;
}

void SyncState::put(SyncEntry entry)
{
    if (SyncEntry* existing = byKey(entry.key))
        *existing = std::move(entry);
    else
        entries.push_back(std::move(entry));
}

void SyncState::forget(std::string_view key)
{
    std::erase_if(entries, [&](const SyncEntry& e) { return e.key == key; });
}

std::filesystem::path syncStatePath(const std::filesystem::path& programFolder, SyncScope scope)
{
    const char* name = scope == SyncScope::Contacts     ? "kontakty.txt"
                       : scope == SyncScope::Appointments ? "terminarz.txt"
                                                          : "zadania.txt";
    return programFolder / "synchronizacja" / name;
}

std::string formatSyncState(const SyncState& state)
{
    std::string out(kMagic);
    out += '\n';
    out += "collection " + escaped(state.collectionHref) + '\n';
    if (state.token)
        out += "token " + escaped(*state.token) + '\n';
    out += "items " + std::to_string(state.entries.size()) + '\n';
    for (const SyncEntry& entry : state.entries) {
        out += "item\n";
        out += "key " + escaped(entry.key) + '\n';
        out += "uid " + escaped(entry.uid) + '\n';
        out += "href " + escaped(entry.href) + '\n';
        if (entry.etag)
            out += "etag " + escaped(*entry.etag) + '\n';
        if (entry.serverText) {
            out += "server " + escaped(*entry.serverText) + '\n';
            out += "local " + escaped(entry.localText.value_or(std::string())) + '\n';
        }
    }
    out += "end\n";
    return out;
}

SyncState parseSyncState(std::string_view text, const std::filesystem::path& path)
{
    Reader reader(text, path);
    reader.exact(kMagic, "to nie jest plik stanu synchronizacji w wersji 1");
    SyncState state;
    state.collectionHref = reader.field("collection");
    state.token = reader.optionalField("token");
    const std::string countText = reader.field("items");
    std::size_t count = 0;
    const auto [end, error] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    // Only the writer's own spelling, so a read file is written back byte for byte.
    if (error != std::errc() || end != countText.data() + countText.size() || countText.empty()
        || (countText.size() > 1 && countText.front() == '0'))
        reader.refuse("zła liczba elementów");
    // Each item takes at least four lines of at least four bytes.
    if (count > text.size() / 16)
        reader.refuse("liczba elementów większa niż plik może zawierać");
    state.entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        reader.exact("item", "oczekiwano „item”");
        SyncEntry entry;
        entry.key = reader.field("key");
        entry.uid = reader.field("uid");
        entry.href = reader.field("href");
        entry.etag = reader.optionalField("etag");
        entry.serverText = reader.optionalField("server");
        if (entry.serverText)
            entry.localText = reader.field("local");
        state.entries.push_back(std::move(entry));
    }
    reader.exact("end", "oczekiwano „end”");
    if (!reader.atEnd())
        reader.refuse("dane po wierszu „end”");
    if (const std::optional<std::string> problem = problemOf(state))
        reader.refuse(*problem);
    return state;
}

SyncState loadSyncState(const std::filesystem::path& path)
{
    // No folder yet: no sync yet.
    std::error_code error;
    if (!std::filesystem::exists(path.parent_path(), error))
        return {};
    const std::optional<std::vector<std::uint8_t>> bytes = readRegularFileIfPresent(path, kSyncStateMaxBytes);
    if (!bytes)
        return {};
    return parseSyncState(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path);
}

void saveSyncState(const std::filesystem::path& path, const SyncState& state)
{
    if (const std::optional<std::string> problem = problemOf(state))
        throw IoError(std::string(kWriteFailed) + " (stan synchronizacji: " + *problem + ")", path);
    const std::string text = formatSyncState(state);
    if (text.size() > kSyncStateMaxBytes)
        throw IoError(std::string(kWriteFailed) + " (stan synchronizacji jest za duży)", path);
    openFolderBeneath(path.parent_path(), kFolderFailed, true);
    writeRecord(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

} // namespace wirtello::sync
