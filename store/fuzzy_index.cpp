#include "store/fuzzy_index.h"

#include <algorithm>
#include <cmath>

#include "base/code_page.h"

namespace lexorin::store {

namespace {

// The mark that pads a text at either end: beyond every code point, within 21 bits.
constexpr char32_t kPad = 0x1FFFFF;

char32_t fold(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

std::uint64_t gram_key(char32_t a, char32_t b, char32_t c) {
    return (static_cast<std::uint64_t>(a) << 42) | (static_cast<std::uint64_t>(b) << 21) | c;
}

// The trigrams of a text padded with two marks at either end: length + 2 of them.
std::vector<std::uint64_t> trigrams(const std::u32string& text) {
    std::u32string padded;
    padded.reserve(text.size() + 4);
    padded += kPad;
    padded += kPad;
    for (char32_t c : text) padded += fold(c);
    padded += kPad;
    padded += kPad;
    std::vector<std::uint64_t> grams;
    grams.reserve(text.size() + 2);
    for (size_t i = 0; i + 2 < padded.size(); ++i)
        grams.push_back(gram_key(padded[i], padded[i + 1], padded[i + 2]));
    return grams;
}

// The largest distance `min_similarity` allows between texts whose longer one has `longer`
// characters: 100 * d <= longer * (100 - min).
int allowed_distance(size_t longer, int min_similarity) {
    return static_cast<int>(longer * static_cast<size_t>(100 - min_similarity) / 100);
}

// Edit distance, or any value above `limit` as soon as the distance is known to exceed it: only
// the band of cells within `limit` of the diagonal is filled.
int bounded_distance(const std::u32string& a, const std::u32string& b, int limit) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    if (std::abs(n - m) > limit) return limit + 1;
    const int big = limit + 1;
    std::vector<int> previous(static_cast<size_t>(m) + 1, big), current(previous.size(), big);
    for (int j = 0; j <= std::min(m, limit); ++j) previous[static_cast<size_t>(j)] = j;
    for (int i = 1; i <= n; ++i) {
        const int from = std::max(1, i - limit);
        const int to = std::min(m, i + limit);
        std::fill(current.begin(), current.end(), big);
        if (i <= limit) current[0] = i;
        int row_best = current[0];
        for (int j = from; j <= to; ++j) {
            const auto uj = static_cast<size_t>(j);
            const int replace =
                previous[uj - 1] + (a[static_cast<size_t>(i - 1)] == b[uj - 1] ? 0 : 1);
            const int value = std::min({replace, previous[uj] + 1, current[uj - 1] + 1});
            current[uj] = std::min(value, big);
            row_best = std::min(row_best, current[uj]);
        }
        if (row_best > limit) return big;
        std::swap(previous, current);
    }
    return std::min(previous[static_cast<size_t>(m)], big);
}

int percent_for(int distance, size_t longer) {
    if (longer == 0) return 100;
    return static_cast<int>((longer - static_cast<size_t>(distance)) * 100 / longer);
}

}  // namespace

std::u32string code_points(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[pos]);
        if (byte < 0x80) {
            out += byte;
            ++pos;
            continue;
        }
        try {
            out += decode_utf8(utf8, pos);
        } catch (...) {
            out += byte;  // a stray byte is a character of its own
            ++pos;
        }
    }
    return out;
}

int edit_distance(const std::u32string& a, const std::u32string& b) {
    return bounded_distance(a, b, static_cast<int>(std::max(a.size(), b.size())));
}

int similarity_percent(const std::u32string& a, const std::u32string& b) {
    return percent_for(edit_distance(a, b), std::max(a.size(), b.size()));
}

FuzzyIndex::FuzzyIndex(std::vector<Entry> entries) {
    std::vector<std::u32string> texts;
    texts.reserve(entries.size());
    for (const auto& entry : entries) texts.push_back(code_points(entry.original_utf8));
    std::vector<std::uint32_t> order(entries.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t x, std::uint32_t y) {
        return texts[x].size() < texts[y].size();
    });
    ids_.reserve(entries.size());
    texts_.reserve(entries.size());
    for (std::uint32_t i : order) {
        ids_.push_back(entries[i].entry_id);
        texts_.push_back(std::move(texts[i]));
    }
    const size_t longest = texts_.empty() ? 0 : texts_.back().size();
    first_of_length_.assign(longest + 2, 0);
    for (size_t length = 0, number = 0; length < first_of_length_.size(); ++length) {
        while (number < texts_.size() && texts_[number].size() < length) ++number;
        first_of_length_[length] = static_cast<std::uint32_t>(number);
    }
    // Numbers are added in rising order: every list is sorted, so by length too.
    for (std::uint32_t number = 0; number < texts_.size(); ++number) {
        std::vector<std::uint64_t> grams = trigrams(texts_[number]);
        std::sort(grams.begin(), grams.end());
        grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
        for (std::uint64_t gram : grams) postings_[gram].push_back(number);
    }
}

void FuzzyIndex::add_late(std::int64_t entry_id, const std::string& original_utf8) {
    late_.push_back({entry_id, original_utf8});
}

std::vector<FuzzyHit> FuzzyIndex::search(const std::string& text_utf8, int min_similarity,
                                         size_t limit) const {
    min_similarity = std::clamp(min_similarity, 1, 100);
    const std::u32string query = code_points(text_utf8);
    const size_t m = query.size();
    if (m == 0 || limit == 0) return {};

    struct Measured {
        std::int64_t id;
        int similarity;
        size_t length_gap;
    };
    std::vector<Measured> found;
    auto measure = [&](std::int64_t id, const std::u32string& text) {
        const size_t longer = std::max(m, text.size());
        const int limit_distance = allowed_distance(longer, min_similarity);
        const int distance = bounded_distance(query, text, limit_distance);
        if (distance > limit_distance) return;
        const size_t gap = longer - std::min(m, text.size());
        found.push_back({id, percent_for(distance, longer), gap});
    };

    // The lengths a match may have: 100 * |m - n| <= max(m, n) * (100 - min).
    const size_t shortest = (m * static_cast<size_t>(min_similarity) + 99) / 100;
    const size_t longest = m * 100 / static_cast<size_t>(min_similarity);
    const size_t top = first_of_length_.empty() ? 0 : first_of_length_.size() - 1;
    const std::uint32_t lo =
        first_of_length_.empty() ? 0 : first_of_length_[std::min(shortest, top)];
    const std::uint32_t hi =
        first_of_length_.empty() ? 0 : first_of_length_[std::min(longest + 1, top)];

    // The trigrams a match of length n shares at least (max(m, n) + 2 - 3 * distance, counted
    // with repeats), less the query's repeated trigrams, since the lists count each one once.
    std::vector<std::uint64_t> grams = trigrams(query);
    const size_t all_grams = grams.size();
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    const long repeats = static_cast<long>(all_grams - grams.size());
    auto needed = [&](size_t n) {
        const size_t longer = std::max(m, n);
        const long shared =
            static_cast<long>(longer) + 2 - 3L * allowed_distance(longer, min_similarity) - repeats;
        return std::max(shared, 1L);
    };
    long fewest = needed(shortest);
    for (size_t n = shortest; n <= longest; ++n) fewest = std::min(fewest, needed(n));

    if (lo < hi) {
        // Each trigram's numbers within the length range, rarest first.
        struct Range {
            const std::uint32_t* begin;
            const std::uint32_t* end;
        };
        std::vector<Range> ranges;
        for (std::uint64_t gram : grams) {
            auto it = postings_.find(gram);
            if (it == postings_.end()) {
                ranges.push_back({nullptr, nullptr});
                continue;
            }
            const std::vector<std::uint32_t>& list = it->second;
            const std::uint32_t* b = std::lower_bound(list.data(), list.data() + list.size(), lo);
            const std::uint32_t* e = std::lower_bound(b, list.data() + list.size(), hi);
            ranges.push_back({b, e});
        }
        std::sort(ranges.begin(), ranges.end(),
                  [](const Range& x, const Range& y) { return x.end - x.begin < y.end - y.begin; });
        // A match shares `fewest` of the trigrams, so one of the rarest |grams| - fewest + 1:
        // only those bring candidates; the others only count.
        const long bringing = static_cast<long>(ranges.size()) - fewest + 1;
        std::vector<std::uint32_t> counts(hi - lo, 0);
        std::vector<std::uint32_t> candidates;
        for (long r = 0; r < static_cast<long>(ranges.size()); ++r) {
            const Range& range = ranges[static_cast<size_t>(r)];
            const auto size = static_cast<size_t>(range.end - range.begin);
            if (r < bringing) {
                for (const std::uint32_t* p = range.begin; p != range.end; ++p)
                    if (counts[*p - lo]++ == 0) candidates.push_back(*p);
            } else if (candidates.size() * 20 < size) {
                for (std::uint32_t number : candidates)
                    if (std::binary_search(range.begin, range.end, number)) ++counts[number - lo];
            } else {
                for (const std::uint32_t* p = range.begin; p != range.end; ++p)
                    if (counts[*p - lo] != 0) ++counts[*p - lo];
            }
        }
        std::erase_if(candidates, [&](std::uint32_t number) {
            return counts[number - lo] < needed(texts_[number].size());
        });
        if (candidates.size() > kMeasured) {
            std::nth_element(candidates.begin(), candidates.begin() + kMeasured, candidates.end(),
                             [&](std::uint32_t x, std::uint32_t y) {
                                 return counts[x - lo] != counts[y - lo]
                                            ? counts[x - lo] > counts[y - lo]
                                            : x < y;
                             });
            candidates.resize(kMeasured);
        }
        for (std::uint32_t number : candidates) measure(ids_[number], texts_[number]);
    }
    for (const auto& entry : late_) measure(entry.entry_id, code_points(entry.original_utf8));

    std::sort(found.begin(), found.end(), [](const Measured& x, const Measured& y) {
        if (x.similarity != y.similarity) return x.similarity > y.similarity;
        if (x.length_gap != y.length_gap) return x.length_gap < y.length_gap;
        return x.id < y.id;
    });
    std::vector<FuzzyHit> hits;
    for (const auto& f : found) {
        if (hits.size() == limit) break;
        if (std::any_of(hits.begin(), hits.end(),
                        [&](const FuzzyHit& h) { return h.entry_id == f.id; }))
            continue;  // an entry changed after the build is both indexed and late
        hits.push_back({f.id, f.similarity});
    }
    return hits;
}

}  // namespace lexorin::store
