#include "support/temp_device.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "qfdevice/device.h"

namespace qf::test {

TempDevice::TempDevice() {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("qf-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    qf::device::SetDeviceRoot(root_);
}

std::string TempDevice::ReadFile(const std::string& relative) const {
    std::ifstream in(HostPath(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TempDevice::~TempDevice() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

}  // namespace qf::test
