#include "scripted_sync_transport.h"

#include <algorithm>
#include <stdexcept>

namespace wirtello::test {

using sync::TransportError;

namespace {

const std::string kTokenPrefix = "tok-";

std::string tokenFor(long change) { return kTokenPrefix + std::to_string(change); }

std::optional<long> changeOf(const std::string& token)
{
    if (token.rfind(kTokenPrefix, 0) != 0 || token.size() == kTokenPrefix.size()
        || token.find_first_not_of("0123456789", kTokenPrefix.size()) != std::string::npos
        || token.size() > kTokenPrefix.size() + 15)
        return std::nullopt;
    return std::stol(token.substr(kTokenPrefix.size()));
}

} // namespace

ScriptedSyncTransport::ScriptedSyncTransport(std::vector<sync::DavCollection> collections, std::string principal)
    : principal_(std::move(principal))
{
    for (sync::DavCollection& description : collections)
        collections_.push_back({std::move(description), {}, {}});
}

void ScriptedSyncTransport::enter(const std::string& call)
{
    calls.push_back(call);
    if (redirectTo)
        throw TransportError(TransportError::Kind::RedirectRefused,
                             "Serwer skierował program pod inny adres (" + *redirectTo + ").");
    if (failNext) {
        const TransportError error = *failNext;
        failNext.reset();
        throw error;
    }
}

ScriptedSyncTransport::Collection& ScriptedSyncTransport::collectionNamed(const std::string& collectionHref)
{
    for (Collection& collection : collections_)
        if (collection.description.href == collectionHref)
            return collection;
    throw TransportError(TransportError::Kind::NotFound, "Na serwerze nie ma już zbioru " + collectionHref + ".", 404);
}

ScriptedSyncTransport::Collection& ScriptedSyncTransport::collectionOf(const std::string& href)
{
    return collectionNamed(href.substr(0, href.rfind('/') + 1));
}

void ScriptedSyncTransport::store(const std::string& href, std::string text)
{
    Collection& collection = collectionOf(href);
    ++changeCounter_;
    collection.members[href] = {std::move(text), "\"e" + std::to_string(changeCounter_) + "\""};
    collection.changes.emplace_back(changeCounter_, href);
}

void ScriptedSyncTransport::serverPut(const std::string& href, const std::string& text) { store(href, text); }

void ScriptedSyncTransport::serverRemove(const std::string& href)
{
    Collection& collection = collectionOf(href);
    if (collection.members.erase(href))
        collection.changes.emplace_back(++changeCounter_, href);
}

std::optional<ScriptedSyncTransport::Member> ScriptedSyncTransport::member(const std::string& href) const
{
    for (const Collection& collection : collections_)
        if (const auto found = collection.members.find(href); found != collection.members.end())
            return found->second;
    return std::nullopt;
}

std::vector<std::string> ScriptedSyncTransport::hrefsIn(const std::string& collectionHref) const
{
    std::vector<std::string> hrefs;
    for (const Collection& collection : collections_)
        if (collection.description.href == collectionHref)
            for (const auto& [href, member] : collection.members)
                hrefs.push_back(href);
    return hrefs;
}

sync::Discovery ScriptedSyncTransport::discover()
{
    enter("PROPFIND " + principal_);
    sync::Discovery found{principal_, {}};
    for (const Collection& collection : collections_)
        found.collections.push_back(collection.description);
    return found;
}

sync::CollectionListing ScriptedSyncTransport::list(const std::string& collectionHref)
{
    enter("PROPFIND " + collectionHref);
    sync::CollectionListing listing;
    for (const auto& [href, member] : collectionNamed(collectionHref).members)
        listing.items.push_back({href, member.etag});
    return listing;
}

std::optional<sync::SyncCollectionResult> ScriptedSyncTransport::syncCollection(const std::string& collectionHref,
                                                                                const std::string& token)
{
    enter("REPORT " + collectionHref);
    Collection& collection = collectionNamed(collectionHref);
    const std::optional<long> since = token.empty() ? std::optional<long>(0) : changeOf(token);
    if (!since || (refuseTokens && !token.empty()) || *since > changeCounter_)
        return std::nullopt;

    sync::SyncCollectionResult result;
    result.token = tokenFor(changeCounter_);
    std::set<std::string> named;
    for (const auto& [change, href] : collection.changes) {
        if (change <= *since || named.count(href))
            continue;
        if (truncateAfter != 0 && named.size() == truncateAfter) {
            // Cut short: the token of the last change named, the rest comes next time.
            result.truncated = true;
            break;
        }
        named.insert(href);
        result.token = tokenFor(change);
    }
    if (!result.truncated)
        result.token = tokenFor(changeCounter_);
    // Each href named once, as it stands now.
    for (const std::string& href : named) {
        const auto found = collection.members.find(href);
        if (found == collection.members.end())
            result.removed.push_back(href);
        else
            result.changed.push_back({href, found->second.etag});
    }
    return result;
}

std::vector<sync::FetchedItem> ScriptedSyncTransport::multiget(const std::string& collectionHref,
                                                               const std::vector<std::string>& hrefs)
{
    if (hrefs.size() > sync::kMultigetBatchSize)
        throw std::invalid_argument("multiget asked for more than kMultigetBatchSize hrefs");
    enter("REPORT " + collectionHref);
    std::vector<sync::FetchedItem> fetched;
    const Collection& collection = collectionNamed(collectionHref);
    for (const std::string& href : hrefs)
        if (const auto found = collection.members.find(href); found != collection.members.end())
            fetched.push_back({href, found->second.etag, found->second.text});
    return fetched;
}

sync::SendResult ScriptedSyncTransport::put(const std::string& href, const std::string& text, const std::string&,
                                            const std::optional<std::string>& ifMatch)
{
    enter("PUT " + href);
    Collection& collection = collectionOf(href);
    const auto found = collection.members.find(href);
    const bool exists = found != collection.members.end();
    if (conflictOnNextPut.erase(href) || (ifMatch ? !exists || found->second.etag != *ifMatch : exists))
        return {412, std::nullopt};
    store(href, text + rewriteOnPut);
    const std::string etag = collection.members[href].etag;
    return {exists ? 204 : 201, putGivesNoEtag || !rewriteOnPut.empty() ? std::nullopt : std::optional(etag)};
}

sync::SendResult ScriptedSyncTransport::remove(const std::string& href, const std::string& etag)
{
    enter("DELETE " + href);
    Collection& collection = collectionOf(href);
    const auto found = collection.members.find(href);
    if (found == collection.members.end())
        return {404, std::nullopt};
    if (found->second.etag != etag)
        return {412, std::nullopt};
    serverRemove(href);
    return {204, std::nullopt};
}

} // namespace wirtello::test
