#include "db/component_match.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace zolvant::db {

std::string foldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool equalsFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && foldCase(a) == foldCase(b);
}

namespace {

// One entry per distinct name (the last of equal spellings), in the order
// of each name's first appearance.
ComponentMatch fromHits(const std::vector<NamedComponent>& components, const std::vector<std::size_t>& hits,
                        ComponentMatch::Kind single) {
    ComponentMatch m;
    if (hits.empty()) return m;
    std::vector<std::size_t> distinct;
    for (std::size_t i : hits) {
        const auto same = std::find_if(distinct.begin(), distinct.end(),
                                       [&](std::size_t d) { return components[d].name == components[i].name; });
        if (same == distinct.end())
            distinct.push_back(i);
        else
            *same = i;  // the last of equal names
    }
    if (distinct.size() == 1) {
        m.kind = single;
        m.index = static_cast<std::ptrdiff_t>(distinct.front());
        return m;
    }
    m.kind = ComponentMatch::Ambiguous;
    for (std::size_t i : distinct) m.candidates.push_back(i);
    std::sort(m.candidates.begin(), m.candidates.end());
    return m;
}

// Edits (insert, delete, substitute, swap two neighbours) from a to b.
std::size_t editDistance(const std::string& a, const std::string& b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<std::size_t>> d(n + 1, std::vector<std::size_t>(m + 1));
    for (std::size_t i = 0; i <= n; ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= m; ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= n; ++i)
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
}

}  // namespace

ComponentMatch matchComponentName(const std::vector<NamedComponent>& components, std::string_view text) {
    if (text.empty()) return {};
    std::vector<std::size_t> exact, folded;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (components[i].name == text) exact.push_back(i);
        if (equalsFolded(components[i].name, text)) folded.push_back(i);
    }
    return fromHits(components, exact.empty() ? folded : exact, ComponentMatch::Exact);
}

ComponentMatch matchComponent(const std::vector<NamedComponent>& components, std::string_view text) {
    ComponentMatch m = matchComponentName(components, text);
    if (m.kind != ComponentMatch::None || text.empty()) return m;
    const std::string needle = foldCase(text);
    std::vector<std::size_t> hits;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const bool inName = foldCase(components[i].name).find(needle) != std::string::npos;
        const bool casStart = components[i].cas.compare(0, text.size(), text) == 0;
        if (inName || casStart) hits.push_back(i);
    }
    return fromHits(components, hits, ComponentMatch::Unique);
}

std::vector<std::string> suggestComponentNames(const std::vector<NamedComponent>& components, std::string_view text,
                                               std::size_t limit) {
    const std::string needle = foldCase(text);
    if (needle.empty() || limit == 0) return {};
    const std::size_t allowed = std::max<std::size_t>(2, needle.size() / 3);
    // (not containing, edits, position): names sharing the text whole come first.
    std::vector<std::tuple<bool, std::size_t, std::size_t>> ranked;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::string name = foldCase(components[i].name);
        if (name.empty() || !seen.insert(name).second) continue;
        const bool contains = (needle.size() >= 2 && name.find(needle) != std::string::npos) ||
                              (name.size() >= 3 && needle.find(name) != std::string::npos);
        const std::size_t edits = editDistance(needle, name);
        if (contains || edits <= allowed) ranked.emplace_back(!contains, edits, i);
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<std::string> out;
    for (const auto& r : ranked) {
        if (out.size() == limit) break;
        out.push_back(components[std::get<2>(r)].name);
    }
    return out;
}

}  // namespace zolvant::db
