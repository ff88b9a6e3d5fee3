#include "sync/sync_planner.h"

#include "store/contact_merge.h"
#include "sync/content_lines.h"
#include "sync/field_merge.h"

#include <algorithm>
#include <map>
#include <set>

namespace wirtello::sync {

namespace {

constexpr const char* kNoEtag = "serwer nie podaje znacznika ETag tego elementu, więc nie można go bezpiecznie zmienić";
constexpr const char* kHrefTaken = "pod adresem tego elementu serwer ma inny element";
constexpr const char* kSameUid = "inny element ma ten sam identyfikator UID";

// `full`, a text as it is here or on the server, against the digested text the state keeps.
bool sameAsStored(std::string_view full, const std::string& stored)
{
    return sameContent(digestedText(full), stored);
}

// The last synced server text with each digest given its value back from
// `local` where this copy holds the same value; other digested lines are left out.
std::string restoredBase(const std::string& stored, const std::string& local)
{
    std::map<std::string, std::string> values;
    for (const ContentLine& line : parseContentLines(local))
        if (line.value.size() > kDigestAbove)
            values.emplace(digestOf(line.value), line.value);
    std::vector<ContentLine> lines;
    for (ContentLine line : parseContentLines(stored)) {
        if (isDigest(line.value)) {
            const auto found = values.find(line.value);
            if (found == values.end())
                continue;
            line.value = found->second;
        }
        lines.push_back(std::move(line));
    }
    return writeContentLines(lines);
}

enum class There { Unchanged, SameContent, Changed, Gone, Waiting };

struct ServerSide {
    There there = There::Unchanged;
    std::optional<std::string> etag;
    std::string text;
};

class Planner {
public:
    Planner(const PlanInput& input, const SyncState& state) : in_(input), state_(state)
    {
        for (const ListedItem& item : input.server.items)
            listed_[item.href] = item.etag;
        removed_.insert(input.server.removed.begin(), input.server.removed.end());
        for (const FetchedItem& item : input.fetched)
            fetched_[item.href] = &item;
        for (const LocalItem& item : input.local)
            local_[item.key] = &item;
    }

    SyncPlan plan()
    {
        SyncPlan plan;
        plan.token = in_.server.token;
        collectNewOnServer();
        for (const SyncEntry& entry : state_.entries) {
            const auto here = local_.find(entry.key);
            const LocalItem* item = here == local_.end() ? nullptr : here->second;
            if (entry.synced())
                planSynced(entry, item);
            else
                planReserved(entry, item);
        }
        for (const LocalItem& item : in_.local)
            if (!state_.byKey(item.key))
                planNewHere(item);
        for (const auto& [href, found] : newOnServer_)
            if (!consumed_.contains(href))
                addCreateHere(href, found);
        if (!fetch_.empty()) {
            plan.fetch.assign(fetch_.begin(), fetch_.end());
            return plan;
        }
        plan.actions = std::move(actions_);
        return plan;
    }

private:
    void add(SyncAction action) { actions_.push_back(std::move(action)); }

    void addCreateHere(const std::string& href, const ServerSide& found)
    {
        SyncAction action;
        action.kind = ActionKind::CreateHere;
        action.uid = firstUid(found.text).value_or(std::string());
        action.href = href;
        action.etag = found.etag;
        action.serverText = found.text;
        add(std::move(action));
    }

    // The server's item `href` as fetched, or nothing (and a fetch) when its text is not here yet.
    std::optional<ServerSide> fetchedAt(const std::string& href, const std::optional<std::string>& listedEtag)
    {
        const auto found = fetched_.find(href);
        if (found == fetched_.end()) {
            fetch_.insert(href);
            return std::nullopt;
        }
        return ServerSide{There::Changed, found->second->etag ? found->second->etag : listedEtag, found->second->text};
    }

    // `needText`: a change here is merged onto the server's card as it is
    // now, which the state keeps only with its long values digested.
    ServerSide serverFor(const SyncEntry& entry, bool needEtag, bool needText)
    {
        const auto listed = listed_.find(entry.href);
        bool unchanged = false;
        if (listed == listed_.end()) {
            if (in_.server.complete || removed_.contains(entry.href) || !entry.synced())
                return {There::Gone, std::nullopt, {}};
            // Not among the changes: as it was, unless its ETag was never learnt.
            unchanged = entry.etag || !needEtag;
        } else {
            unchanged = entry.synced() && listed->second && entry.etag && *listed->second == *entry.etag;
        }
        if (unchanged && !needText)
            return {There::Unchanged, entry.etag, *entry.serverText};
        const std::optional<std::string> listedEtag = listed == listed_.end() ? entry.etag : listed->second;
        std::optional<ServerSide> side = fetchedAt(entry.href, listedEtag);
        if (!side)
            return {There::Waiting, std::nullopt, {}};
        if (entry.synced() && (unchanged || sameAsStored(side->text, *entry.serverText)))
            side->there = There::SameContent;
        return *side;
    }

    std::string pushText(const SyncEntry& entry, const std::string& onto, const LocalItem& item) const
    {
        if (in_.mergeFields && entry.synced())
            return mergeChangedFields(onto, *entry.localText, item.text);
        return withUid(item.text, entry.uid);
    }

    // For an item the server no longer has: what it last had, with the changes here.
    std::string pushOntoLastSynced(const SyncEntry& entry, const LocalItem& item) const
    {
        return pushText(entry, restoredBase(*entry.serverText, item.text), item);
    }

    SyncAction base(const SyncEntry& entry, ActionKind kind) const
    {
        SyncAction action;
        action.kind = kind;
        action.key = entry.key;
        action.uid = entry.uid;
        action.href = entry.href;
        return action;
    }

    void planSynced(const SyncEntry& entry, const LocalItem* item)
    {
        const bool changedHere = item && !sameAsStored(item->text, *entry.localText);
        const ServerSide server = serverFor(entry, changedHere || !item, changedHere && in_.mergeFields);
        if (server.there == There::Waiting)
            return;
        SyncAction action = base(entry, ActionKind::Record);
        action.etag = server.etag;
        action.serverText = server.text;
        action.localText = item ? item->text : std::string();
        const bool changedThere = server.there == There::Changed;

        if (!item) {
            if (server.there == There::Gone)
                action.kind = ActionKind::Forget;
            else if (changedThere)
                action.kind = ActionKind::CreateHere; // a change beats a deletion
            else if (!server.etag)
                action = cannotSend(entry, kNoEtag);
            else
                action.kind = ActionKind::DeleteOnServer;
            add(std::move(action));
            return;
        }
        if (!changedHere) {
            if (server.there == There::Unchanged)
                return;
            action.kind = server.there == There::Gone ? ActionKind::DeleteHere
                          : changedThere               ? ActionKind::UpdateHere
                                                       : ActionKind::Record;
            add(std::move(action));
            return;
        }
        if (server.there == There::Gone) {
            // A change beats a deletion: the item goes back under its own href.
            action.kind = ActionKind::CreateOnServer;
            action.etag.reset();
            action.text = pushOntoLastSynced(entry, *item);
        } else if (changedThere && sameContent(item->text, server.text)) {
            action.kind = ActionKind::Record;
        } else if (!server.etag) {
            action = cannotSend(entry, kNoEtag);
        } else if (changedThere) {
            // This copy's changes go over the server's card; the server's
            // version as a whole becomes the copy here.
            action.kind = ActionKind::Conflict;
            action.text = pushText(entry, server.text, *item);
        } else {
            action.kind = ActionKind::UpdateOnServer;
            action.text = pushText(entry, server.text, *item);
        }
        add(std::move(action));
    }

    // A UID and href reserved for a first send whose answer never came.
    void planReserved(const SyncEntry& entry, const LocalItem* item)
    {
        const ServerSide server = serverFor(entry, true, false);
        if (server.there == There::Waiting)
            return;
        SyncAction action = base(entry, ActionKind::Record);
        action.etag = server.etag;
        action.serverText = server.text;
        if (!item) {
            action.kind = server.there == There::Gone || !server.etag ? ActionKind::Forget : ActionKind::DeleteOnServer;
            add(std::move(action));
            return;
        }
        action.localText = item->text;
        action.text = pushText(entry, {}, *item);
        if (server.there == There::Gone) {
            action.kind = ActionKind::CreateOnServer;
            action.etag.reset();
            action.serverText.clear();
        } else if (firstUid(server.text) != entry.uid) {
            action = cannotSend(entry, kHrefTaken);
        } else if (sameContent(server.text, action.text)) {
            action.kind = ActionKind::Record;
        } else if (!server.etag) {
            action = cannotSend(entry, kNoEtag);
        } else {
            action.kind = ActionKind::UpdateOnServer;
        }
        add(std::move(action));
    }

    void planNewHere(const LocalItem& item)
    {
        SyncAction action;
        action.key = item.key;
        action.uid = item.uid;
        action.href = hrefForUid(in_.collectionHref, item.uid, in_.extension);
        action.localText = item.text;
        action.text = withUid(item.text, item.uid);
        // The same UID already on the server: a first sync after the state was
        // lost, or a send whose answer never came.
        for (const auto& [href, found] : newOnServer_) {
            if (consumed_.contains(href) || firstUid(found.text) != item.uid)
                continue;
            consumed_.insert(href);
            action.href = href;
            action.etag = found.etag;
            action.serverText = found.text;
            if (sameContent(found.text, action.text))
                action.kind = ActionKind::Record;
            else if (!found.etag)
                action = cannotSend(SyncEntry{item.key, item.uid, href, {}, {}, {}}, kNoEtag);
            else
                action.kind = ActionKind::Conflict;
            add(std::move(action));
            return;
        }
        // Two items here with one UID (a copied task, say) would share one href.
        if (state_.byHref(action.href) || !plannedHrefs_.insert(action.href).second) {
            add(cannotSend(SyncEntry{item.key, item.uid, action.href, {}, {}, {}}, kSameUid));
            return;
        }
        action.kind = ActionKind::CreateOnServer;
        add(std::move(action));
    }

    void collectNewOnServer()
    {
        for (const auto& [href, etag] : listed_) {
            if (state_.byHref(href))
                continue;
            if (std::optional<ServerSide> side = fetchedAt(href, etag))
                newOnServer_.emplace(href, std::move(*side));
        }
    }

    SyncAction cannotSend(const SyncEntry& entry, const char* reason) const
    {
        SyncAction action = base(entry, ActionKind::CannotSend);
        action.reason = reason;
        return action;
    }

    const PlanInput& in_;
    const SyncState& state_;
    std::map<std::string, std::optional<std::string>> listed_;
    std::set<std::string> removed_;
    std::map<std::string, const FetchedItem*> fetched_;
    std::map<std::string, const LocalItem*> local_;
    std::map<std::string, ServerSide> newOnServer_;
    std::set<std::string> consumed_;
    std::set<std::string> plannedHrefs_;
    std::set<std::string> fetch_;
    std::vector<SyncAction> actions_;
};

} // namespace

std::size_t SyncPlan::count(ActionKind kind) const
{
    return static_cast<std::size_t>(
        std::count_if(actions.begin(), actions.end(), [kind](const SyncAction& a) { return a.kind == kind; }));
}

bool SyncPlan::nothingToDo() const
{
    return fetch.empty() && actions.empty();
}

ServerView serverViewOf(const CollectionListing& listing, std::optional<std::string> token)
{
    return ServerView{true, listing.items, {}, std::move(token)};
}

ServerView serverViewOf(const std::vector<SyncCollectionResult>& pieces)
{
    ServerView view;
    view.complete = false;
    for (const SyncCollectionResult& piece : pieces) {
        // A later piece knows better: an href changed then removed, or the reverse.
        for (const ListedItem& item : piece.changed) {
            std::erase(view.removed, item.href);
            std::erase_if(view.items, [&](const ListedItem& known) { return known.href == item.href; });
            view.items.push_back(item);
        }
        for (const std::string& href : piece.removed) {
            std::erase_if(view.items, [&](const ListedItem& known) { return known.href == href; });
            if (std::find(view.removed.begin(), view.removed.end(), href) == view.removed.end())
                view.removed.push_back(href);
        }
        view.token = piece.token;
    }
    return view;
}

SyncPlan planSync(const PlanInput& input, const SyncState& state)
{
    return Planner(input, state).plan();
}

void keepInsteadOfDeletingHere(SyncPlan& plan, const PlanInput& input, const SyncState& state)
{
    for (SyncAction& action : plan.actions) {
        if (action.kind != ActionKind::DeleteHere)
            continue;
        const SyncEntry* entry = state.byKey(action.key);
        if (!entry || !entry->synced())
            continue;
        action.kind = ActionKind::CreateOnServer;
        action.etag.reset();
        action.text = input.mergeFields ? mergeChangedFields(restoredBase(*entry->serverText, action.localText),
                                                             *entry->localText, action.localText)
                                        : withUid(action.localText, entry->uid);
    }
}

std::string conflictCopyText(std::string_view serverText, const std::string& newUid)
{
    std::vector<ContentLine> lines = parseContentLines(serverText);
    for (ContentLine& line : lines) {
        if (line.name == "UID")
            line.value = newUid;
        else if (line.name == "FN" || line.name == "SUMMARY")
            line.value += kCopySuffix;
    }
    return writeContentLines(lines);
}

std::string hrefForUid(const std::string& collectionHref, const std::string& uid, const std::string& extension)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string href = collectionHref;
    if (href.empty() || href.back() != '/')
        href += '/';
    for (const char c : uid) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || c == '-'
            || c == '_' || c == '.' || c == '@') {
            href += c;
        } else {
            href += '%';
            href += kHex[byte >> 4];
            href += kHex[byte & 15];
        }
    }
    return href + extension;
}

void reserveBeforeSend(SyncState& state, const SyncAction& action)
{
    if (action.kind == ActionKind::CreateOnServer && !state.byKey(action.key))
        state.put(SyncEntry{action.key, action.uid, action.href, {}, {}, {}});
}

SendOutcome recordSend(SyncState& state, const SyncAction& action, const SendResult& result)
{
    if (action.kind == ActionKind::DeleteOnServer && (result.succeeded() || result.status == 404)) {
        state.forget(action.key);
        return SendOutcome::Recorded;
    }
    if (result.preconditionFailed()) {
        if (SyncEntry* entry = state.byKey(action.key))
            entry->etag.reset();
        else
            state.put(SyncEntry{action.key, action.uid, action.href, {}, {}, {}});
        return SendOutcome::Replan;
    }
    if (!result.succeeded())
        return SendOutcome::Failed;
    state.put(SyncEntry{action.key, action.uid, action.href, result.etag, digestedText(action.text),
                        digestedText(action.localText)});
    return SendOutcome::Recorded;
}

void recordDone(SyncState& state, const SyncAction& action, const std::string& localText, const std::string& hereKey)
{
    const std::string& key = hereKey.empty() ? action.key : hereKey;
    switch (action.kind) {
    case ActionKind::Forget:
    case ActionKind::DeleteHere:
        state.forget(action.key);
        break;
    case ActionKind::Record:
        state.put(SyncEntry{key, action.uid, action.href, action.etag, digestedText(action.serverText),
                            digestedText(action.localText)});
        break;
    case ActionKind::CreateHere:
    case ActionKind::UpdateHere:
        if (key != action.key)
            state.forget(action.key);
        state.put(SyncEntry{key, action.uid, action.href, action.etag, digestedText(action.serverText),
                            digestedText(localText)});
        break;
    default:
        break;
    }
}

} // namespace wirtello::sync
