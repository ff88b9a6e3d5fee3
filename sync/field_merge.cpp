#include "sync/field_merge.h"

#include "sync/content_lines.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>

namespace wirtello::sync {

namespace {

bool structural(const std::string& name)
{
    static constexpr std::array<std::string_view, 6> kStructural{"BEGIN", "END", "VERSION", "UID", "PRODID", "REV"};
    return std::find(kStructural.begin(), kStructural.end(), name) != kStructural.end();
}

bool sameProperty(const ContentLine& a, const ContentLine& b)
{
    auto pa = a.params;
    auto pb = b.params;
    std::sort(pa.begin(), pa.end());
    std::sort(pb.begin(), pb.end());
    return a.name == b.name && a.value == b.value && pa == pb;
}

std::size_t utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// `shown` is `full` as the record holds it: cut short, a letter it lacks as "?".
bool shownAs(std::string_view shown, std::string_view full)
{
    if (shown.empty())
        return full.empty();
    std::size_t j = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (j >= full.size())
            return false;
        if (shown[i] == full[j]) {
            ++j;
        } else if (shown[i] == '?') {
            j += utf8Length(static_cast<unsigned char>(full[j]));
        } else {
            return false;
        }
    }
    return true;
}

// How many bytes of `full` the first `count` bytes of `shown` stand for.
std::size_t fullLength(std::string_view shown, std::string_view full, std::size_t count)
{
    std::size_t j = 0;
    for (std::size_t i = 0; i < count && j < full.size(); ++i)
        j += shown[i] == '?' && shown[i] != full[j] ? utf8Length(static_cast<unsigned char>(full[j])) : 1;
    return std::min(j, full.size());
}

// How many bytes at the end of `full` the last `count` bytes of `shown` stand
// for, when `shown` is `full` as shown, not cut.
std::size_t fullTailLength(std::string_view shown, std::string_view full, std::size_t count)
{
    std::size_t j = full.size();
    for (std::size_t i = shown.size(); i > shown.size() - count && j > 0; --i) {
        if (shown[i - 1] == '?' && full[j - 1] != '?') {
            --j;
            while (j > 0 && (static_cast<unsigned char>(full[j]) & 0xC0) == 0x80)
                --j;
        } else {
            --j;
        }
    }
    return full.size() - j;
}

bool continuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// `now` changed from `was`, which shows `full`: the part the user left as it
// was keeps the server's letters (a "?" here stands for a letter Windows-1250
// lacks), so only what was typed changes. A text cut to its field loses its
// unseen end only when the user changed that end.
std::string restoredValue(std::string_view was, std::string_view now, std::string_view full)
{
    if (!shownAs(was, full))
        return std::string(now);
    std::size_t prefix = 0;
    while (prefix < was.size() && prefix < now.size() && was[prefix] == now[prefix])
        ++prefix;
    while (prefix > 0 && ((prefix < now.size() && continuationByte(now[prefix]))
                          || (prefix < was.size() && continuationByte(was[prefix]))))
        --prefix;
    const bool cut = fullLength(was, full, was.size()) < full.size();
    std::size_t suffix = 0;
    if (!cut) {
        while (suffix < std::min(was.size(), now.size()) - prefix
               && was[was.size() - 1 - suffix] == now[now.size() - 1 - suffix])
            ++suffix;
        while (suffix > 0 && continuationByte(was[was.size() - suffix]))
            --suffix;
    }
    const std::size_t head = fullLength(was, full, prefix);
    const std::size_t tail = cut ? 0 : fullTailLength(was, full, suffix);
    if (head + tail > full.size())
        return std::string(now);
    return std::string(full.substr(0, head)) + std::string(now.substr(prefix, now.size() - prefix - suffix))
           + std::string(full.substr(full.size() - tail));
}

bool valueShownAs(const std::string& shown, const std::string& full)
{
    const std::vector<std::string> a = splitComponents(shown);
    const std::vector<std::string> b = splitComponents(full);
    if (a.size() > b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!shownAs(a[i], b[i]))
            return false;
    return true;
}

std::vector<std::pair<std::string, std::string>> sortedParams(const ContentLine& line)
{
    auto params = line.params;
    std::sort(params.begin(), params.end());
    return params;
}

class ServerCard {
public:
    explicit ServerCard(std::string_view text) : lines_(parseContentLines(text)) {}

    // The server line `old` was read from, claimed so no other property finds it.
    std::optional<std::size_t> claim(const ContentLine& old)
    {
        const auto tries = std::array<bool (*)(const ContentLine&, const ContentLine&), 3>{
            [](const ContentLine& o, const ContentLine& s) { return o.value == s.value; },
            [](const ContentLine& o, const ContentLine& s) { return valueShownAs(o.value, s.value); },
            [](const ContentLine& o, const ContentLine& s) { return sortedParams(o) == sortedParams(s); },
        };
        for (const auto& matches : tries)
            for (std::size_t i = 0; i < lines_.size(); ++i)
                if (!claimed_.contains(i) && !removed_.contains(i) && lines_[i].name == old.name
                    && matches(old, lines_[i])) {
                    claimed_.insert(i);
                    return i;
                }
        return std::nullopt;
    }

    void change(std::size_t at, const ContentLine& old, const ContentLine& now)
    {
        ContentLine& line = lines_[at];
        if (old.value != now.value) {
            const std::vector<std::string> was = splitComponents(old.value);
            const std::vector<std::string> is = splitComponents(now.value);
            const std::vector<std::string> there = splitComponents(line.value);
            std::vector<std::string> merged;
            for (std::size_t i = 0; i < std::max(is.size(), there.size()); ++i) {
                if (i < is.size())
                    merged.push_back(i >= there.size()                   ? is[i]
                                     : i < was.size() && was[i] == is[i] ? there[i]
                                     : i < was.size()                    ? restoredValue(was[i], is[i], there[i])
                                                                         : is[i]);
                else
                    merged.push_back(i >= was.size() ? there[i] : std::string());
            }
            line.value = joinComponents(merged);
        }
        if (sortedParams(old) != sortedParams(now))
            line.params = now.params;
    }

    void remove(std::size_t at) { removed_.insert(at); }

    void add(const ContentLine& line)
    {
        ContentLine added = line;
        added.group.clear();
        std::size_t at = lines_.size();
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i].name == line.name)
                at = i + 1;
        if (at == lines_.size()) {
            for (std::size_t i = lines_.size(); i > 0; --i)
                if (lines_[i - 1].name == "END") {
                    at = i - 1;
                    break;
                }
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), added);
        shiftMarks(at);
    }

    std::string text() const
    {
        std::vector<ContentLine> kept;
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (!removed_.contains(i))
                kept.push_back(lines_[i]);
        return writeContentLines(kept);
    }

private:
    void shiftMarks(std::size_t from)
    {
        const auto shift = [from](const std::set<std::size_t>& marks) {
            std::set<std::size_t> shifted;
            for (std::size_t mark : marks)
                shifted.insert(mark >= from ? mark + 1 : mark);
            return shifted;
        };
        claimed_ = shift(claimed_);
        removed_ = shift(removed_);
    }

    std::vector<ContentLine> lines_;
    std::set<std::size_t> claimed_;
    std::set<std::size_t> removed_;
};

} // namespace

std::string mergeChangedFields(std::string_view server, std::string_view baseLocal, std::string_view local)
{
    const std::vector<ContentLine> before = parseContentLines(baseLocal);
    // The state keeps long values as digests: compare with the digests, send the values.
    const std::vector<ContentLine> now = parseContentLines(local);
    std::vector<ContentLine> nowCompared = now;
    for (ContentLine& line : nowCompared)
        line.value = digestOf(line.value);
    std::vector<std::string> names;
    for (const auto* lines : {&before, &now})
        for (const ContentLine& line : *lines)
            if (!structural(line.name) && std::find(names.begin(), names.end(), line.name) == names.end())
                names.push_back(line.name);

    ServerCard card(server);
    for (const std::string& name : names) {
        std::vector<ContentLine> was;
        std::vector<ContentLine> is;
        std::vector<ContentLine> isCompared;
        for (const ContentLine& line : before)
            if (line.name == name)
                was.push_back(line);
        for (std::size_t i = 0; i < now.size(); ++i)
            if (now[i].name == name) {
                is.push_back(now[i]);
                isCompared.push_back(nowCompared[i]);
            }

        // Unchanged properties first, so they hold on to their server lines.
        std::vector<ContentLine> changedWas;
        for (const ContentLine& old : was) {
            const auto same = std::find_if(isCompared.begin(), isCompared.end(),
                                           [&](const ContentLine& line) { return sameProperty(old, line); });
            if (same != isCompared.end()) {
                card.claim(old);
                is.erase(is.begin() + (same - isCompared.begin()));
                isCompared.erase(same);
            } else {
                changedWas.push_back(old);
            }
        }
        for (std::size_t i = 0; i < changedWas.size(); ++i) {
            const std::optional<std::size_t> at = card.claim(changedWas[i]);
            if (i < is.size()) {
                if (at)
                    card.change(*at, changedWas[i], is[i]);
                else
                    card.add(is[i]);
            } else if (at) {
                card.remove(*at);
            }
        }
        for (std::size_t i = changedWas.size(); i < is.size(); ++i)
            card.add(is[i]);
    }
    return card.text();
}

} // namespace wirtello::sync
