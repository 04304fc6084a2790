// The case folding the device applies wherever names are compared without regard to case: file and
// folder names, registry keys and values, object names and lstrcmpiW.
#pragma once

#include <string>
#include <string_view>

namespace qf::device {

// Any thread. The lower-case partner of a capital letter of ASCII, Latin-1, Latin Extended-A, basic Greek
// or basic Cyrillic; every other code unit unchanged.
char16_t FoldCase(char16_t c);
// Any thread. `text` with every code unit folded as above.
std::u16string FoldCase(std::u16string_view text);

}  // namespace qf::device
