#pragma once

// Decides one collection's sync from three views: the items here now, what
// the server lists (in full, or the changes since the stored token) and the
// state of the last sync. Contents are compared, not only ETags: an ETag that
// changed while the text (sync/content_lines.h: canonicalContent) did not is
// recorded and nothing else, so a server that sends no ETag on PUT, or that
// rewrites a card, does not bring it back as a change on every sync.
//
// Planning takes two rounds. The first names the hrefs whose text is needed
// (new or changed on the server, or an ETag not known) and nothing else;
// the caller fetches them (multiget) and plans again with the texts, which
// gives the actions. A plan with neither fetches nor actions: nothing to do.
//
// Rules of the actions:
// - changed here only: sent with If-Match (for contacts, the changed fields
//   onto the server's card as fetched now); new here: sent with
//   If-None-Match: * under its UID;
// - changed on the server only: taken here; new there: created here;
// - changed on both sides: a conflict. This copy keeps its version: its
//   changes are sent over the server's (If-Match); the server's version
//   becomes a new item here ("… (kopia)", conflictCopyText), which the next
//   plan sends as its own item;
// - deleted on one side and changed on the other: the change wins (sent
//   again, or created here again); deleted on one side only: deleted on the
//   other (on the server with If-Match);
// - deletions here above kDeletionQuestionThreshold: the caller asks first;
// - two items here with one UID: the second is not sent (CannotSend).
// The state takes the plan's token only once every action is carried out; a
// sync cut short keeps the old token, and the next one sees the same changes
// again (what was already done then reads as unchanged).
//
// Before sending a new item the caller reserves its UID and href in the state
// and saves it (reserveBeforeSend), so a sync cut short (a crash, a kill)
// finds the item on the server by its UID next time and never sends it twice.
// After each send the caller reports the answer with recordSend: a 412 is a
// conflict to plan again (with a full listing), never a reason to send without
// the precondition.

#include "sync/sync_state.h"
#include "sync/sync_transport.h"

#include <optional>
#include <string>
#include <vector>

namespace wirtello::sync {

// One item here: its key (contact id, task or appointment UID), the UID it
// gets on the server if it is new there, and its text (a card, or a
// calendar with one item).
struct LocalItem {
    std::string key;
    std::string uid;
    std::string text;
};

// What the server says now.
struct ServerView {
    // true: `items` is every member; false: the changes since the stored
    // token, `items` the changed members and `removed` the deleted ones.
    bool complete = true;
    std::vector<ListedItem> items;
    std::vector<std::string> removed;
    // The token to store once the plan is carried out.
    std::optional<std::string> token;
};

// A full listing, with the token the collection has now (when it offers one).
ServerView serverViewOf(const CollectionListing& listing, std::optional<std::string> token);

// The changes since the stored token; the pieces of a cut-short answer
// (truncated, continued with its token) one after another.
ServerView serverViewOf(const std::vector<SyncCollectionResult>& pieces);

struct PlanInput {
    // The collection's href, ending in "/"; new items go below it.
    std::string collectionHref;
    // ".vcf" or ".ics", for the hrefs of new items.
    std::string extension = ".vcf";
    // Contacts: a change here is merged field by field onto the server's card
    // (sync/field_merge.h); other items are sent as they are here.
    bool mergeFields = true;
    std::vector<LocalItem> local;
    ServerView server;
    // Texts brought by multiget for the hrefs the first round named.
    std::vector<FetchedItem> fetched;
};

enum class ActionKind {
    CreateOnServer, // PUT text to href, If-None-Match: *
    UpdateOnServer, // PUT text to href, If-Match etag
    DeleteOnServer, // DELETE href, If-Match etag
    CreateHere,     // a new item here from serverText
    UpdateHere,     // the item `key` takes serverText
    DeleteHere,     // the item `key` goes
    Conflict,       // PUT text to href with If-Match etag, and serverText becomes a copy here
    Record,         // nothing to send or change: the state takes etag and the texts
    Forget,         // the state's entry for `key` goes
    CannotSend,     // `reason` says why (Polish)
};

struct SyncAction {
    ActionKind kind{};
    std::string key;
    std::string uid;
    std::string href;
    // If-Match for sends; the server's current ETag for the rest.
    std::optional<std::string> etag;
    // What to send (to the server) for CreateOnServer, UpdateOnServer and Conflict.
    std::string text;
    // The item here as planned; the state's "local" text after the action.
    std::string localText;
    // The server's text, for CreateHere, UpdateHere, Conflict and Record.
    std::string serverText;
    std::string reason;

    bool operator==(const SyncAction&) const = default;
};

inline constexpr std::size_t kDeletionQuestionThreshold = 10;

struct SyncPlan {
    std::vector<std::string> fetch;
    std::vector<SyncAction> actions;
    std::optional<std::string> token;

    std::size_t count(ActionKind kind) const;
    // More deletions here than kDeletionQuestionThreshold: ask before carrying them out.
    bool asksBeforeDeleting() const { return count(ActionKind::DeleteHere) > kDeletionQuestionThreshold; }
    bool nothingToDo() const;
};

SyncPlan planSync(const PlanInput& input, const SyncState& state);

// When the user declines the deletions here (asksBeforeDeleting): the items
// stay here and go back to the server as new, with what the server last had
// of them that the record cannot hold.
void keepInsteadOfDeletingHere(SyncPlan& plan, const PlanInput& input, const SyncState& state);

// The server's version of a conflict as the new item here: under `newUid`
// (every UID line, so a series keeps its exceptions), its name (FN, or the
// SUMMARY of each calendar item) ending in " (kopia)".
std::string conflictCopyText(std::string_view serverText, const std::string& newUid);

// "<collection><uid><extension>", the UID's characters outside A-Z a-z 0-9
// - _ . @ percent-encoded.
std::string hrefForUid(const std::string& collectionHref, const std::string& uid, const std::string& extension);

enum class SendOutcome { Recorded, Replan, Failed };

// Takes the answer to the send of `action` into `state`: on success the item
// is synced as sent (the new ETag, or none when the server sent none); on 412
// its ETag is forgotten so the next plan fetches it and sees the conflict;
// on another failure nothing changes.
SendOutcome recordSend(SyncState& state, const SyncAction& action, const SendResult& result);

// A pending entry for the new item a CreateOnServer sends, unless the state has its key.
void reserveBeforeSend(SyncState& state, const SyncAction& action);

// Takes an action that needs no send (Record, Forget, and CreateHere,
// UpdateHere, DeleteHere once done here) into `state`. `localText` is the
// item's text here after the change (CreateHere, UpdateHere); `hereKey` the
// key of an item created here when it is not the action's.
void recordDone(SyncState& state, const SyncAction& action, const std::string& localText = {},
                const std::string& hereKey = {});

} // namespace wirtello::sync
