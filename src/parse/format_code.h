// The numbers that name a feed's format: stored with each feed and shown by the parse command.
#pragma once

namespace qf {

// The codes are stored with feeds; their values are fixed.
enum class FeedFormat {
    kUnknown = 0,
    kRss090 = 1,
    kRss091 = 2,
    kRss092 = 3,
    kRss10 = 4,
    kOpml10 = 5,
    kOpml11 = 6,
    kRss20 = 7,
    kRss093 = 8,
    kOpmlSharpReader = 9,
    kOpmlGeneric = 10,
    kAtom03 = 11,
    kAtom10 = 12,  // only with Atom10::kOn
};

}  // namespace qf
