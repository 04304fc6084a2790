// Turning a fuzzer's bytes into the inputs of the parse functions.
//
// Build in a folder of its own (CC=clang CXX=clang++ cmake -DQF_FUZZ=ON ...) and start each target from
// a copy of its seeds, so that the inputs it finds stay out of the tree:
//   cp -r fuzz/corpus/xml /tmp/xml && build-fuzz/fuzz/xml_fuzz /tmp/xml -max_total_time=300 -max_len=8192
// The xml, entities, markup and date seeds are UTF-16LE text; the feed seeds are file bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qf::fuzz {

// Every two bytes as one UTF-16 code unit (lone surrogates and zeros included); an odd last byte is
// dropped.
inline std::u16string CodeUnits(const std::uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return text;
}

// Aborts the run (so that the fuzzer records the input) when a property does not hold.
inline void Check(bool property) {
    if (!property) __builtin_trap();
}

}  // namespace qf::fuzz
