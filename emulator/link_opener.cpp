#include "link_opener.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "qfdevice/device.h"
#include "win/strings.h"

namespace qf::emu {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool IsWebLink(const std::string& text) {
    std::string lower = Lower(text.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://");
}

std::optional<std::string> PageOnDevice(const std::u16string& device_path) {
    std::string lower = Lower(WideToUtf8(device_path));
    if (!lower.ends_with(".htm") && !lower.ends_with(".html")) return std::nullopt;
    std::optional<std::filesystem::path> host = device::MapPath(device_path);
    if (!host || !std::filesystem::is_regular_file(*host)) return std::nullopt;
    return host->string();
}

}  // namespace

std::optional<std::string> DesktopTarget(const device::Launch& launch) {
    for (const std::u16string* candidate : {&launch.file, &launch.parameters}) {
        std::string text = WideToUtf8(*candidate);
        if (IsWebLink(text)) return text;
    }
    if (auto page = PageOnDevice(launch.parameters)) return page;
    return PageOnDevice(launch.file);
}

void OpenOnDesktop(const std::string& target) {
    // Two forks, so that the browser is nobody's child here and leaves no zombie behind.
    pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) {
            execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    if (child > 0) waitpid(child, nullptr, 0);
}

}  // namespace qf::emu
