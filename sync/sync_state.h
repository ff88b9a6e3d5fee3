#pragma once

// The sync state of one collection (the address book, the calendar or the
// task list), kept in the folder "synchronizacja" of the program folder:
// kontakty.txt, terminarz.txt, zadania.txt.
//
// File format, version 1: UTF-8 text, lines ending in LF, nothing else.
//
//   WIRTELLO-SYNC 1
//   collection <href of the collection>
//   token <sync token>                  (absent: no token yet)
//   items <number of items that follow>
//   item
//   key <local key: contact id, task UID, appointment UID>
//   uid <UID the server knows the item by>
//   href <href of the item on the server>
//   etag <ETag, quotes included>        (absent: the server gave none)
//   server <item text as the server had it at the last sync>
//   local <item text as this copy had it at the last sync>
//   ...                                 (one "item" block per item)
//   end
//
// Every line is "<word> <value>" (one blank; the value may be empty), in
// exactly this order. "server" and "local" come together or not at all: an
// item without them has its UID and href reserved for a first send that has
// not been confirmed yet. In values a backslash, CR and LF are written as
// "\\", "\r" and "\n"; no other escape exists. Keys and hrefs are unique.
//
// Both texts are kept with every value longer than 1 KiB (photos, mostly)
// replaced by its digest (sync/content_lines.h: digestedText), so a state of
// hundreds of contacts with photos stays small. "local" tells a change made
// here from the server's rewrite of the same card; "server" tells a change
// on the server from a rewrite that changed nothing, and is, with the
// digested values filled in from here, what an item deleted on the server
// but changed here is sent again from. A change made here is merged onto the
// server's card as fetched at that sync (sync/field_merge.h).
//
// A file that breaks any of this is refused with IoError naming what is
// wrong, in Polish; it is never half read.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello::sync {

struct SyncEntry {
    std::string key;
    std::string uid;
    std::string href;
    std::optional<std::string> etag;
    std::optional<std::string> serverText;
    std::optional<std::string> localText;

    // Sent and confirmed at least once; otherwise only reserved.
    bool synced() const { return serverText.has_value(); }
    bool operator==(const SyncEntry&) const = default;
};

struct SyncState {
    std::string collectionHref;
    std::optional<std::string> token;
    std::vector<SyncEntry> entries;

    const SyncEntry* byKey(std::string_view key) const;
    const SyncEntry* byHref(std::string_view href) const;
    SyncEntry* byKey(std::string_view key);
    // Replaces the entry of the same key, or adds it.
    void put(SyncEntry entry);
    void forget(std::string_view key);

    bool operator==(const SyncState&) const = default;
};

enum class SyncScope { Contacts, Appointments, Tasks };

// "<program folder>/synchronizacja/kontakty.txt" and so on.
std::filesystem::path syncStatePath(const std::filesystem::path& programFolder, SyncScope scope);

// Files larger than this are refused unread.
inline constexpr std::size_t kSyncStateMaxBytes = 256u * 1024u * 1024u;

std::string formatSyncState(const SyncState& state);

// IoError(Polish reason, `path`) for text that breaks the format.
SyncState parseSyncState(std::string_view text, const std::filesystem::path& path = {});

// An empty state (no items, no token) when the file does not exist.
SyncState loadSyncState(const std::filesystem::path& path);

// Written atomically (writeRecord); the folder is created when missing.
void saveSyncState(const std::filesystem::path& path, const SyncState& state);

} // namespace wirtello::sync
