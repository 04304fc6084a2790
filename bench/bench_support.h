// What the benchmark programs share: a throw-away device root with the device's fonts, and a feed
// database of a chosen size.
#pragma once

#include <filesystem>
#include <string>

namespace qf::bench {

// A device root of its own in the temporary folder, with the Tahoma files the real device has so that
// text goes through the same faces; made the process's device root, removed with everything in it.
class BenchDevice {
  public:
    explicit BenchDevice(const std::string& name);
    ~BenchDevice();
    BenchDevice(const BenchDevice&) = delete;
    BenchDevice& operator=(const BenchDevice&) = delete;

  private:
    std::filesystem::path root_;
};

// Decimal digits of `value` as UTF-16.
std::u16string Number(long long value);

// A fresh database at the device path `path` (the default views, then view `view_id` "Bench" with
// `num_to_show` items to show over `feeds` feeds) holding `items` items spread over the feeds, each with
// a 300-character description.
void MakeBenchDatabase(const std::u16string& path, int items, int feeds, int view_id, int num_to_show);

}  // namespace qf::bench
