// A throw-away device root for one test: created empty in a fresh temporary folder, made the process's
// device root, and removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace qf::test {

class TempDevice {
  public:
    // Creates the folder and points the device runtime at it. Main test thread only.
    TempDevice();
    ~TempDevice();
    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // Host path of a device path below the root ("Windows/x.ttf" -> <root>/Windows/x.ttf).
    std::filesystem::path HostPath(const std::string& relative) const { return root_ / relative; }
    // The bytes of the file at HostPath(relative), "" when it cannot be read.
    std::string ReadFile(const std::string& relative) const;

  private:
    std::filesystem::path root_;
};

}  // namespace qf::test
