#include "host/top_level_window.h"

#include "common/settings_store.h"

namespace qf::host {

TopLevelSearch TopLevelSearchFor(const std::u16string& class_setting, const std::u16string& name_setting) {
    if (class_setting.empty()) return {kTodayShellClass, u""};
    return {class_setting, name_setting};
}

HWND FindTopLevelWindow() {
    SettingsStore& settings = AppSettings();
    TopLevelSearch search = TopLevelSearchFor(settings.Read(setting::kTopLevelClassName),
                                              settings.Read(setting::kTopLevelWindowName));
    HWND found = FindWindowW(search.class_name.c_str(),
                             search.window_name.empty() ? nullptr : search.window_name.c_str());
    if (found == nullptr) found = FindWindowW(kTodayShellClass, nullptr);
    return found;
}

}  // namespace qf::host
