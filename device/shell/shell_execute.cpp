// ShellExecuteExW: no host process is started; the launch is checked against the device's files,
// recorded, and handed to the host.
#include <mutex>

#include "qfdevice/launches.h"
#include "windows.h"

namespace qf::device {
namespace {

constexpr char16_t kBrowser[] = u"\\Windows\\iexplore.exe";

std::mutex launches_mutex;
std::vector<Launch> launches;  // guarded by launches_mutex
LaunchHook launch_hook;        // guarded by launches_mutex

bool StartsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

bool IsWebLink(std::u16string_view file) {
    return StartsWithNoCase(file, u"http://") || StartsWithNoCase(file, u"https://");
}

bool IsFile(const std::u16string& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A link needs the browser; a bare program name is looked for in \Windows, as the device's shell does.
bool Launchable(const std::u16string& file) {
    if (IsWebLink(file)) return IsFile(kBrowser);
    if (file.find(u'\\') == std::u16string::npos) return IsFile(u"\\Windows\\" + file);
    return IsFile(file);
}

std::u16string Text(LPCWSTR text) { return text != nullptr ? std::u16string(text) : std::u16string(); }

}  // namespace

std::vector<Launch> Launches() {
    std::lock_guard lock(launches_mutex);
    return launches;
}

void SetLaunchHook(LaunchHook hook) {
    std::lock_guard lock(launches_mutex);
    launch_hook = std::move(hook);
}

}  // namespace qf::device

using namespace qf::device;

BOOL WINAPI ShellExecuteExW(LPSHELLEXECUTEINFOW info) {
    if (info == nullptr || info->cbSize != sizeof(SHELLEXECUTEINFOW) || info->lpFile == nullptr ||
        info->lpFile[0] == u'\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hProcess = nullptr;
    Launch launch{Text(info->lpVerb), info->lpFile, Text(info->lpParameters), Text(info->lpDirectory),
                  info->nShow};
    if (!Launchable(launch.file)) {
        info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(SE_ERR_FNF));
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(SE_ERR_SUCCESS));
    LaunchHook hook;
    {
        std::lock_guard lock(launches_mutex);
        launches.push_back(launch);
        hook = launch_hook;
    }
    if (hook) hook(launch);
    return TRUE;
}
