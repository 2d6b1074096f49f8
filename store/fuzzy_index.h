#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The fuzzy side of the translation memory: which stored originals resemble a text, and how much.
//
// Similarity is edit distance over characters (Unicode code points, not bytes):
//   similarity = floor(100 * (1 - distance / max(length a, length b)))
// so only equal texts score 100, and one changed character in a 20-character text scores 95.
//
// Candidates come from an inverted index of character trigrams (each text padded with two marks
// at either end, letters compared with ASCII case folded), whose entries are numbered in order of
// length: the lengths a threshold allows are one range of numbers, found in each trigram's list
// by binary search. Two filters follow from the threshold, both exact for edit distance: the
// length range, and the trigrams a match must share (one edit destroys at most three). The
// candidates sharing the most trigrams are then measured, at most kMeasured of them.
namespace lexorin::store {

// The code points of a UTF-8 text; bytes that are no UTF-8 count as one character each.
std::u32string code_points(std::string_view utf8);
// Edit distance (insert, delete, replace; each costs 1) between two texts.
int edit_distance(const std::u32string& a, const std::u32string& b);
// 0..100 as above; 100 for two empty texts.
int similarity_percent(const std::u32string& a, const std::u32string& b);

struct FuzzyHit {
    std::int64_t entry_id = 0;
    int similarity = 0;
};

class FuzzyIndex {
  public:
    struct Entry {
        std::int64_t entry_id;
        std::string original_utf8;
    };

    // The entries of one language, in any order.
    explicit FuzzyIndex(std::vector<Entry> entries);

    // An entry stored after the index was built: kept aside and measured on every search.
    void add_late(std::int64_t entry_id, const std::string& original_utf8);

    // Entries at least `min_similarity` percent like `text`, best first (ties: the shorter
    // distance in length, then the lower id), at most `limit`; the equal text included.
    std::vector<FuzzyHit> search(const std::string& text_utf8, int min_similarity,
                                 size_t limit) const;

    size_t size() const { return ids_.size() + late_.size(); }

    static constexpr size_t kMeasured = 512;

  private:
    std::vector<std::int64_t> ids_;               // entry id by number (numbers in order of length)
    std::vector<std::u32string> texts_;           // the original by number
    std::vector<std::uint32_t> first_of_length_;  // the first number of each length; one past
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> postings_;  // trigram: numbers
    std::vector<Entry> late_;
};

}  // namespace lexorin::store
