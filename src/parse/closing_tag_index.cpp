#include "parse/closing_tag_index.h"

#include <random>

namespace qf::xml {
namespace {

constexpr std::uint64_t kModulus = (std::uint64_t{1} << 61) - 1;

// A random base per process, so that no fixed input can be built to make names collide.
std::uint64_t RandomBase() {
    static const std::uint64_t base = [] {
        std::random_device device;
        std::mt19937_64 generator((std::uint64_t{device()} << 32) ^ device());
        return std::uniform_int_distribution<std::uint64_t>(1u << 20, kModulus - 1)(generator);
    }();
    return base;
}

}  // namespace

// Horner's rule from the end of the string: hash(x) = x[0] + B*x[1] + B^2*x[2] + ... mod 2^61-1.
std::uint64_t ClosingTagIndex::Step(std::uint64_t hash, char16_t c) const {
    const unsigned __int128 product = static_cast<unsigned __int128>(hash) * base_ + c;
    std::uint64_t folded =
        static_cast<std::uint64_t>(product & kModulus) + static_cast<std::uint64_t>(product >> 61);
    folded = (folded & kModulus) + (folded >> 61);
    return folded >= kModulus ? folded - kModulus : folded;
}

ClosingTagIndex::ClosingTagIndex(std::u16string_view text) : base_(RandomBase()) {
    // "</" positions whose name has not yet been ended by a ">".
    std::vector<size_t> pending;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'<') {
            if (i + 1 < text.size() && text[i + 1] == u'/') pending.push_back(i);
        } else if (c == u'>' && !pending.empty()) {
            // All pending names end here; each is a suffix of the one before, so one backward walk
            // hashes them all.
            std::uint64_t hash = 0;
            size_t start = i;
            for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
                const size_t name_start = *it + 2;
                while (start > name_start) hash = Step(hash, text[--start]);
                occurrences_[Key{hash, i - name_start}].positions.push_back(*it);
            }
            pending.clear();
        }
    }
}

size_t ClosingTagIndex::Find(std::u16string_view text, std::u16string_view name, size_t from) {
    std::uint64_t hash = 0;
    for (size_t i = name.size(); i > 0; --i) hash = Step(hash, name[i - 1]);
    const auto found = occurrences_.find(Key{hash, name.size()});
    if (found == occurrences_.end()) return std::u16string_view::npos;
    Occurrences& occurrences = found->second;
    while (occurrences.next < occurrences.positions.size() &&
           occurrences.positions[occurrences.next] < from) {
        ++occurrences.next;
    }
    // Equal hashes of different names are possible in principle; check the text.
    for (size_t k = occurrences.next; k < occurrences.positions.size(); ++k) {
        const size_t position = occurrences.positions[k];
        if (text.substr(position + 2, name.size()) == name) return position;
    }
    return std::u16string_view::npos;
}

}  // namespace qf::xml
