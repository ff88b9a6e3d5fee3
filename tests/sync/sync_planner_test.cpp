#include "sync/sync_planner.h"

#include "sync/content_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace wirtello::sync;

namespace {

const std::string kCollection = "/dav/jan/kontakty/";

std::string card(const std::string& uid, const std::string& name)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name + "\r\nEND:VCARD\r\n";
}

std::string hrefOf(const std::string& uid)
{
    return kCollection + uid + ".vcf";
}

SyncEntry synced(const std::string& key, const std::string& uid, std::optional<std::string> etag, const std::string& name)
{
    return {key, uid, hrefOf(uid), std::move(etag), card(uid, name), card(uid, name)};
}

struct OnServer {
    std::string uid;
    std::optional<std::string> etag;
    std::string text;
};

OnServer on(const std::string& uid, const std::string& etag, const std::string& name)
{
    return {uid, etag, card(uid, name)};
}

struct Round {
    SyncPlan plan;
    std::vector<std::string> fetched;
};

// Plans as the sync does: a first round, the fetches it names, a second round.
Round planAgainst(const SyncState& state, const std::vector<LocalItem>& local, const std::vector<OnServer>& server,
                  bool complete = true, const std::vector<std::string>& changed = {},
                  const std::vector<std::string>& removed = {})
{
    PlanInput input;
    input.collectionHref = kCollection;
    input.local = local;
    input.server.complete = complete;
    input.server.token = "t2";
    for (const OnServer& item : server)
        if (complete || std::count(changed.begin(), changed.end(), item.uid))
            input.server.items.push_back({hrefOf(item.uid), item.etag});
    for (const std::string& uid : removed)
        input.server.removed.push_back(hrefOf(uid));

    Round round;
    round.plan = planSync(input, state);
    if (round.plan.fetch.empty())
        return round;
    EXPECT_TRUE(round.plan.actions.empty());
    round.fetched = round.plan.fetch;
    for (const std::string& href : round.plan.fetch)
        for (const OnServer& item : server)
            if (hrefOf(item.uid) == href)
                input.fetched.push_back({href, item.etag, item.text});
    round.plan = planSync(input, state);
    EXPECT_TRUE(round.plan.fetch.empty());
    return round;
}

std::string kindName(ActionKind kind)
{
    switch (kind) {
    case ActionKind::CreateOnServer: return "send new";
    case ActionKind::UpdateOnServer: return "send change";
    case ActionKind::DeleteOnServer: return "delete there";
    case ActionKind::CreateHere: return "new here";
    case ActionKind::UpdateHere: return "change here";
    case ActionKind::DeleteHere: return "delete here";
    case ActionKind::Conflict: return "conflict";
    case ActionKind::Record: return "record";
    case ActionKind::Forget: return "forget";
    case ActionKind::CannotSend: return "cannot send";
    }
    return "?";
}

// "kind key" for each action (the href when it has no key yet), sorted.
std::vector<std::string> summary(const SyncPlan& plan)
{
    std::vector<std::string> lines;
    for (const SyncAction& action : plan.actions)
        lines.push_back(kindName(action.kind) + ' ' + (action.key.empty() ? action.href : action.key));
    std::sort(lines.begin(), lines.end());
    return lines;
}

SyncState stateOf(std::vector<SyncEntry> entries)
{
    SyncState state;
    state.collectionHref = kCollection;
    state.token = "t1";
    state.entries = std::move(entries);
    return state;
}

} // namespace

TEST(SyncPlanner, DecidesEachSituationOfOneItem)
{
    const std::string rewritten = "BEGIN:VCARD\nVERSION:3.0\nPRODID:-//Serwer//PL\nFN:A\n la\nUID:a\nEND:VCARD\n";
    const struct {
        const char* name;
        std::vector<SyncEntry> state;
        std::vector<LocalItem> local;
        std::vector<OnServer> server;
        bool complete;
        std::vector<std::string> changed;
        std::vector<std::string> removed;
        std::vector<std::string> expected;
        std::size_t fetches;
    } cases[] = {
        {"first sync, items here only", {}, {{"1", "a", card("a", "Ala")}, {"2", "b", card("b", "Bolek")}}, {},
         true, {}, {}, {"send new 1", "send new 2"}, 0},
        {"first sync, items on the server only", {}, {}, {on("a", "\"e1\"", "Ala"), on("b", "\"e2\"", "Bolek")}, true,
         {}, {}, {"new here " + hrefOf("a"), "new here " + hrefOf("b")}, 2},
        {"first sync, the same item on both sides", {}, {{"1", "a", card("a", "Ala")}}, {on("a", "\"e1\"", "Ala")},
         true, {}, {}, {"record 1"}, 1},
        {"first sync, one UID with two contents", {}, {{"1", "a", card("a", "Ala")}},
         {on("a", "\"e1\"", "Alicja")}, true, {}, {}, {"conflict 1"}, 1},
        {"nothing changed", {synced("1", "a", "\"e1\"", "Ala")}, {{"1", "a", card("a", "Ala")}},
         {on("a", "\"e1\"", "Ala")}, true, {}, {}, {}, 0},
        {"nothing changed since the token", {synced("1", "a", "\"e1\"", "Ala")}, {{"1", "a", card("a", "Ala")}},
         {on("a", "\"e1\"", "Ala")}, false, {}, {}, {}, 0},
        {"changed here", {synced("1", "a", "\"e1\"", "Ala")}, {{"1", "a", card("a", "Alicja")}},
         {on("a", "\"e1\"", "Ala")}, true, {}, {}, {"send change 1"}, 1},
        {"changed on the server", {synced("1", "a", "\"e1\"", "Ala")}, {{"1", "a", card("a", "Ala")}},
         {on("a", "\"e2\"", "Alicja")}, false, {"a"}, {}, {"change here 1"}, 1},
        {"changed on both sides", {synced("1", "a", "\"e1\"", "Ala")}, {{"1", "a", card("a", "Alicja")}},
         {on("a", "\"e2\"", "Alina")}, true, {}, {}, {"conflict 1"}, 1},
        {"the same change on both sides", {synced("1", "a", "\"e1\"", "Ala")}, {{"1", "a", card("a", "Alicja")}},
         {on("a", "\"e2\"", "Alicja")}, true, {}, {}, {"record 1"}, 1},
        {"deleted here", {synced("1", "a", "\"e1\"", "Ala")}, {}, {on("a", "\"e1\"", "Ala")}, true, {}, {},
         {"delete there 1"}, 0},
        {"deleted on the server, full listing", {synced("1", "a", "\"e1\"", "Ala")}, {{"1", "a", card("a", "Ala")}},
         {}, true, {}, {}, {"delete here 1"}, 0},
        {"deleted on the server, since the token", {synced("1", "a", "\"e1\"", "Ala")},
         {{"1", "a", card("a", "Ala")}}, {}, false, {}, {"a"}, {"delete here 1"}, 0},
        {"deleted on both sides", {synced("1", "a", "\"e1\"", "Ala")}, {}, {}, true, {}, {}, {"forget 1"}, 0},
        {"changed here, deleted on the server", {synced("1", "a", "\"e1\"", "Ala")},
         {{"1", "a", card("a", "Alicja")}}, {}, false, {}, {"a"}, {"send new 1"}, 0},
        {"deleted here, changed on the server", {synced("1", "a", "\"e1\"", "Ala")}, {},
         {on("a", "\"e2\"", "Alina")}, true, {}, {}, {"new here 1"}, 1},
        {"rewritten by the server, content the same", {synced("1", "a", "\"e1\"", "Ala")},
         {{"1", "a", card("a", "Ala")}}, {{"a", "\"e2\"", rewritten}}, true, {}, {}, {"record 1"}, 1},
        {"no ETag came with the send; the listing has one", {synced("1", "a", std::nullopt, "Ala")},
         {{"1", "a", card("a", "Ala")}}, {on("a", "\"e1\"", "Ala")}, true, {}, {}, {"record 1"}, 1},
        {"no ETag known, changed here, not among the server's changes", {synced("1", "a", std::nullopt, "Ala")},
         {{"1", "a", card("a", "Alicja")}}, {on("a", "\"e1\"", "Ala")}, false, {}, {}, {"send change 1"}, 1},
        {"a server that never gives an ETag", {synced("1", "a", std::nullopt, "Ala")},
         {{"1", "a", card("a", "Alicja")}}, {{"a", std::nullopt, card("a", "Ala")}}, true, {}, {},
         {"cannot send 1"}, 1},
        {"reserved, and the send did reach the server", {{"1", "a", hrefOf("a"), {}, {}, {}}},
         {{"1", "a", card("a", "Ala")}}, {on("a", "\"e1\"", "Ala")}, true, {}, {}, {"record 1"}, 1},
        {"two items here with one UID", {synced("1", "a", "\"e1\"", "Ala")},
         {{"1", "a", card("a", "Ala")}, {"2", "a", card("a", "Ala")}, {"3", "b", card("b", "B")},
          {"4", "b", card("b", "B")}},
         {on("a", "\"e1\"", "Ala")}, true, {}, {}, {"cannot send 2", "cannot send 4", "send new 3"}, 0},
        {"reserved, and the send never reached the server", {{"1", "a", hrefOf("a"), {}, {}, {}}},
         {{"1", "a", card("a", "Ala")}}, {}, false, {}, {}, {"send new 1"}, 0},
    };
    for (const auto& c : cases) {
        const Round round = planAgainst(stateOf(c.state), c.local, c.server, c.complete, c.changed, c.removed);
        EXPECT_EQ(summary(round.plan), c.expected) << c.name;
        EXPECT_EQ(round.fetched.size(), c.fetches) << c.name;
        EXPECT_EQ(round.plan.token, "t2") << c.name;
    }
}

TEST(SyncPlanner, SendsCarryTheirPreconditionsAndTexts)
{
    const SyncState state = stateOf({synced("1", "a", "\"e1\"", "Ala"), synced("2", "b", "\"e2\"", "Bolek"),
                                     synced("3", "c", "\"e3\"", "Cezary")});
    const std::vector<LocalItem> local{{"1", "a", card("a", "Alicja")}, {"2", "b", card("b", "Bolesław")},
                                       {"4", "d e/ł", card("d e/ł", "Daria")}};
    const Round round = planAgainst(state, local,
                                    {on("a", "\"e1\"", "Ala"), on("b", "\"e9\"", "Bogdan"), on("c", "\"e3\"", "Cezary")});
    ASSERT_EQ(round.plan.actions.size(), 4u);
    const SyncAction& change = round.plan.actions[0];
    EXPECT_EQ(change.kind, ActionKind::UpdateOnServer);
    EXPECT_EQ(change.etag, "\"e1\"");
    EXPECT_EQ(change.text, card("a", "Alicja"));
    EXPECT_EQ(change.localText, card("a", "Alicja"));

    // This copy's version goes over the server's; the server's comes back as a copy.
    const SyncAction& conflict = round.plan.actions[1];
    EXPECT_EQ(conflict.kind, ActionKind::Conflict);
    EXPECT_EQ(conflict.etag, "\"e9\"");
    EXPECT_EQ(conflict.text, card("b", "Bolesław"));
    EXPECT_EQ(conflict.serverText, card("b", "Bogdan"));

    EXPECT_EQ(round.plan.actions[2].kind, ActionKind::DeleteOnServer);
    EXPECT_EQ(round.plan.actions[2].etag, "\"e3\"");

    const SyncAction& created = round.plan.actions[3];
    EXPECT_EQ(created.kind, ActionKind::CreateOnServer);
    EXPECT_EQ(created.href, kCollection + "d%20e%2F%C5%82.vcf");
    EXPECT_EQ(created.etag, std::nullopt);
    EXPECT_EQ(created.text, card("d e/ł", "Daria"));
}

TEST(SyncPlanner, AChangeHereKeepsWhatOnlyTheServerHolds)
{
    const std::string server = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Ala\r\nTEL:1\r\nTEL:2\r\nBDAY:1990-01-01\r\nEND:VCARD\r\n";
    const std::string base = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Ala\r\nTEL:1\r\nEND:VCARD\r\n";
    const SyncState state = stateOf({{"1", "a", hrefOf("a"), "\"e1\"", server, base}});
    const std::string local = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Alicja\r\nTEL:1\r\nEND:VCARD\r\n";
    const Round changed = planAgainst(state, {{"1", "a", local}}, {{"a", "\"e1\"", server}});
    ASSERT_EQ(changed.plan.actions.size(), 1u);
    EXPECT_EQ(changed.plan.actions[0].text,
              "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Alicja\r\nTEL:1\r\nTEL:2\r\nBDAY:1990-01-01\r\nEND:VCARD\r\n");
    // Nothing changed here: the card the record cannot hold whole is not sent back.
    EXPECT_TRUE(planAgainst(state, {{"1", "a", base}}, {{"a", "\"e1\"", server}}).plan.nothingToDo());
}

TEST(SyncPlanner, MoreThanTenDeletionsHereAskFirst)
{
    for (const std::size_t count : {10u, 11u}) {
        std::vector<SyncEntry> entries;
        std::vector<LocalItem> local;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string id = std::to_string(i);
            entries.push_back(synced(id, "u" + id, "\"e\"", "Osoba " + id));
            local.push_back({id, "u" + id, card("u" + id, "Osoba " + id)});
        }
        // A wiped phone: the server lists nothing.
        const Round round = planAgainst(stateOf(entries), local, {});
        EXPECT_EQ(round.plan.count(ActionKind::DeleteHere), count);
        EXPECT_EQ(round.plan.asksBeforeDeleting(), count > kDeletionQuestionThreshold) << count;
    }
}

TEST(SyncPlanner, ASendWithoutAnEtagInTheAnswerIsNotReadBackAsAChange)
{
    SyncState state = stateOf({});
    const std::vector<LocalItem> local{{"1", "a", card("a", "Ala")}};
    const Round first = planAgainst(state, local, {});
    ASSERT_EQ(first.plan.actions.size(), 1u);
    reserveBeforeSend(state, first.plan.actions[0]);
    EXPECT_FALSE(state.entries[0].synced());
    EXPECT_EQ(recordSend(state, first.plan.actions[0], SendResult{201, std::nullopt}), SendOutcome::Recorded);
    EXPECT_EQ(state.entries[0].etag, std::nullopt);

    // The server stored it rewritten and lists it with an ETag now.
    const std::string rewritten = "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:serwer\r\nUID:a\r\nFN:Ala\r\nEND:VCARD\r\n";
    const Round second = planAgainst(state, local, {{"a", "\"e7\"", rewritten}});
    ASSERT_EQ(summary(second.plan), std::vector<std::string>{"record 1"});
    recordDone(state, second.plan.actions[0]);
    EXPECT_EQ(state.entries[0].etag, "\"e7\"");

    const Round third = planAgainst(state, local, {{"a", "\"e7\"", rewritten}});
    EXPECT_TRUE(third.plan.nothingToDo());
}

TEST(SyncPlanner, A412IsPlannedAgainAsAConflictNeverSentOver)
{
    SyncState state = stateOf({synced("1", "a", "\"e1\"", "Ala")});
    const std::vector<LocalItem> local{{"1", "a", card("a", "Alicja")}};
    const Round first = planAgainst(state, local, {on("a", "\"e1\"", "Ala")});
    ASSERT_EQ(summary(first.plan), std::vector<std::string>{"send change 1"});
    // Someone changed it between the listing and the send.
    EXPECT_EQ(recordSend(state, first.plan.actions[0], SendResult{412, std::nullopt}), SendOutcome::Replan);
    EXPECT_EQ(state.entries[0].etag, std::nullopt);
    EXPECT_EQ(state.entries[0].localText, card("a", "Ala"));

    const Round again = planAgainst(state, local, {on("a", "\"e2\"", "Alina")}, false, {});
    EXPECT_EQ(again.fetched, std::vector<std::string>{hrefOf("a")});
    ASSERT_EQ(summary(again.plan), std::vector<std::string>{"conflict 1"});
    EXPECT_EQ(again.plan.actions[0].etag, "\"e2\"");

    // A new item whose href was taken meanwhile is reserved, and found next time.
    SyncState fresh = stateOf({});
    const Round create = planAgainst(fresh, {{"2", "b", card("b", "Bolek")}}, {});
    EXPECT_EQ(recordSend(fresh, create.plan.actions[0], SendResult{412, std::nullopt}), SendOutcome::Replan);
    ASSERT_EQ(fresh.entries.size(), 1u);
    EXPECT_FALSE(fresh.entries[0].synced());
    const Round found = planAgainst(fresh, {{"2", "b", card("b", "Bolek")}}, {on("b", "\"e5\"", "Bolesław")});
    EXPECT_EQ(summary(found.plan), std::vector<std::string>{"send change 2"});
    EXPECT_EQ(found.plan.actions[0].etag, "\"e5\"");
}

TEST(SyncPlanner, OtherFailedSendsChangeNothing)
{
    SyncState state = stateOf({synced("1", "a", "\"e1\"", "Ala")});
    const SyncState before = state;
    const Round round = planAgainst(state, {{"1", "a", card("a", "Alicja")}}, {on("a", "\"e1\"", "Ala")});
    EXPECT_EQ(recordSend(state, round.plan.actions[0], SendResult{507, std::nullopt}), SendOutcome::Failed);
    EXPECT_EQ(state, before);
    // A deletion the server already made counts as done.
    const Round deletion = planAgainst(state, {}, {on("a", "\"e1\"", "Ala")});
    EXPECT_EQ(recordSend(state, deletion.plan.actions[0], SendResult{404, std::nullopt}), SendOutcome::Recorded);
    EXPECT_TRUE(state.entries.empty());
}

TEST(SyncPlanner, ItemsTakenHereAreRecordedUnderTheirKeys)
{
    SyncState state = stateOf({synced("1", "a", "\"e1\"", "Ala")});
    const Round round = planAgainst(state, {}, {on("a", "\"e2\"", "Alina"), on("b", "\"e3\"", "Bolek")});
    ASSERT_EQ(summary(round.plan), (std::vector<std::string>{"new here " + hrefOf("b"), "new here 1"}));
    recordDone(state, round.plan.actions[0], card("a", "Alina"), "7");
    recordDone(state, round.plan.actions[1], card("b", "Bolek"), "8");
    ASSERT_EQ(state.entries.size(), 2u);
    EXPECT_EQ(state.entries[0], (SyncEntry{"7", "a", hrefOf("a"), "\"e2\"", card("a", "Alina"), card("a", "Alina")}));
    EXPECT_EQ(state.entries[1], (SyncEntry{"8", "b", hrefOf("b"), "\"e3\"", card("b", "Bolek"), card("b", "Bolek")}));
    const Round after = planAgainst(state, {{"7", "a", card("a", "Alina")}, {"8", "b", card("b", "Bolek")}},
                                    {on("a", "\"e2\"", "Alina"), on("b", "\"e3\"", "Bolek")});
    EXPECT_TRUE(after.plan.nothingToDo());
}

TEST(SyncPlanner, DeclinedDeletionsHereSendTheItemsBack)
{
    const std::string server = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Ala\r\nBDAY:1990-01-01\r\nEND:VCARD\r\n";
    const SyncState state = stateOf({{"1", "a", hrefOf("a"), "\"e1\"", server, card("a", "Ala")},
                                     synced("2", "b", "\"e2\"", "Bolek")});
    PlanInput input;
    input.collectionHref = kCollection;
    input.local = {{"1", "a", card("a", "Alicja")}, {"2", "b", card("b", "Bolek")}};
    input.server.items = {{hrefOf("b"), "\"e2\""}};
    SyncPlan plan = planSync(input, state);
    // "1" changed here while deleted there: sent back anyway. Declining
    // touches the deletion of "2" only.
    ASSERT_EQ(summary(plan), (std::vector<std::string>{"send new 1"}));
    input.server.items.clear();
    plan = planSync(input, state);
    ASSERT_EQ(summary(plan), (std::vector<std::string>{"delete here 2", "send new 1"}));
    keepInsteadOfDeletingHere(plan, input, state);
    ASSERT_EQ(summary(plan), (std::vector<std::string>{"send new 1", "send new 2"}));
    EXPECT_EQ(plan.actions[0].text,
              "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Alicja\r\nBDAY:1990-01-01\r\nEND:VCARD\r\n");
    EXPECT_EQ(plan.actions[1].text, card("b", "Bolek"));
    EXPECT_EQ(plan.actions[1].etag, std::nullopt);
}

TEST(SyncPlanner, TheServersVersionOfAConflictBecomesACopyUnderItsOwnUid)
{
    EXPECT_EQ(conflictCopyText(card("a", "Bogdan"), "nowy"), card("nowy", "Bogdan (kopia)"));
    const std::string series = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:e\r\nSUMMARY:Zebranie\r\nEND:VEVENT\r\n"
                               "BEGIN:VEVENT\r\nUID:e\r\nRECURRENCE-ID:20261215T100000Z\r\nSUMMARY:Zebranie\r\n"
                               "END:VEVENT\r\nEND:VCALENDAR\r\n";
    EXPECT_EQ(conflictCopyText(series, "f"),
              "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:f\r\nSUMMARY:Zebranie (kopia)\r\nEND:VEVENT\r\n"
              "BEGIN:VEVENT\r\nUID:f\r\nRECURRENCE-ID:20261215T100000Z\r\nSUMMARY:Zebranie (kopia)\r\n"
              "END:VEVENT\r\nEND:VCALENDAR\r\n");
}

TEST(SyncPlanner, LongValuesAreKeptAsDigestsAndSentWhole)
{
    const std::string photo(3000, 'P');
    const std::string otherPhoto(3000, 'Q');
    const std::string extra(2000, 'X');
    const std::string server = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Ala\r\nBDAY:1990-01-01\r\nX-EXTRA:" + extra
                               + "\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + photo + "\r\nEND:VCARD\r\n";
    const auto local = [](const std::string& name, const std::string& picture) {
        return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:" + name + "\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + picture
               + "\r\nEND:VCARD\r\n";
    };
    SyncState state = stateOf({});
    SyncAction taken;
    taken.kind = ActionKind::Record;
    taken.key = "1";
    taken.uid = "a";
    taken.href = hrefOf("a");
    taken.etag = "\"e1\"";
    taken.serverText = server;
    taken.localText = local("Ala", photo);
    recordDone(state, taken);
    // Neither the photo nor the long property is in the state, only their digests.
    EXPECT_EQ(state.entries[0].serverText->find(photo), std::string::npos);
    EXPECT_EQ(state.entries[0].localText->find(photo), std::string::npos);
    EXPECT_LT(formatSyncState(state).size(), 1000u);

    EXPECT_TRUE(planAgainst(state, {{"1", "a", local("Ala", photo)}}, {{"a", "\"e1\"", server}}).plan.nothingToDo());

    // A name changed here goes onto the server's card as it is now, its photo whole.
    const Round renamed = planAgainst(state, {{"1", "a", local("Alicja", photo)}}, {{"a", "\"e1\"", server}});
    EXPECT_EQ(renamed.fetched, std::vector<std::string>{hrefOf("a")});
    ASSERT_EQ(summary(renamed.plan), std::vector<std::string>{"send change 1"});
    EXPECT_EQ(parseContentLines(renamed.plan.actions[0].text), parseContentLines(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Alicja\r\nBDAY:1990-01-01\r\nX-EXTRA:" + extra
        + "\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + photo + "\r\nEND:VCARD\r\n"));

    // A new photo here replaces the server's.
    const Round repictured = planAgainst(state, {{"1", "a", local("Ala", otherPhoto)}}, {{"a", "\"e1\"", server}});
    ASSERT_EQ(summary(repictured.plan), std::vector<std::string>{"send change 1"});
    EXPECT_NE(repictured.plan.actions[0].text.find(otherPhoto.substr(0, 70)), std::string::npos);
    EXPECT_EQ(repictured.plan.actions[0].text.find(photo.substr(0, 70)), std::string::npos);

    // Deleted there, changed here: sent again from what is known, the photo
    // from here; the long property only the server had is gone with it.
    const Round resent = planAgainst(state, {{"1", "a", local("Alicja", photo)}}, {});
    ASSERT_EQ(summary(resent.plan), std::vector<std::string>{"send new 1"});
    EXPECT_EQ(parseContentLines(resent.plan.actions[0].text),
              parseContentLines("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Alicja\r\nBDAY:1990-01-01\r\n"
                                "PHOTO;ENCODING=b;TYPE=JPEG:" + photo + "\r\nEND:VCARD\r\n"));
}

TEST(SyncPlanner, CalendarItemsAreSentAsTheyAreHere)
{
    const auto todo = [](const std::string& summary) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:t1\r\nSUMMARY:" + summary
               + "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    };
    const SyncState state = stateOf({{"t1", "t1", kCollection + "t1.ics", "\"e1\"", todo("Zadzwonić"), todo("Zadzwonić")}});
    PlanInput input;
    input.collectionHref = kCollection;
    input.extension = ".ics";
    input.mergeFields = false;
    input.local = {{"t1", "t1", todo("Zadzwonić jutro")}};
    input.server = serverViewOf(std::vector<SyncCollectionResult>{});
    const SyncPlan plan = planSync(input, state);
    EXPECT_TRUE(plan.fetch.empty());
    ASSERT_EQ(summary(plan), std::vector<std::string>{"send change t1"});
    EXPECT_EQ(plan.actions[0].text, todo("Zadzwonić jutro"));
    EXPECT_EQ(plan.actions[0].etag, "\"e1\"");
}

TEST(SyncPlanner, PiecesOfACutShortReportAddUpInOrder)
{
    const ServerView view = serverViewOf(std::vector<SyncCollectionResult>{
        {{{"/c/a.vcf", "\"1\""}, {"/c/b.vcf", "\"1\""}}, {"/c/x.vcf"}, "t1", true},
        {{{"/c/x.vcf", "\"2\""}, {"/c/a.vcf", "\"2\""}}, {"/c/b.vcf"}, "t2", false}});
    EXPECT_FALSE(view.complete);
    EXPECT_EQ(view.items, (std::vector<ListedItem>{{"/c/x.vcf", "\"2\""}, {"/c/a.vcf", "\"2\""}}));
    EXPECT_EQ(view.removed, std::vector<std::string>{"/c/b.vcf"});
    EXPECT_EQ(view.token, "t2");
    const ServerView full = serverViewOf(CollectionListing{{{"/c/a.vcf", std::nullopt}}}, "t9");
    EXPECT_TRUE(full.complete);
    EXPECT_EQ(full.items.size(), 1u);
    EXPECT_EQ(full.token, "t9");
}
