// Every setting of the item's own store, named once: section, key and the default a read answers when
// the value is missing. Read and write them through SettingsStore's typed Read/Write overloads. Settings
// whose section is built at run time (a feed's last result, a custom element mapping) keep their keys
// beside the code that builds the section.
#pragma once

#include <windows.h>

#include <string_view>

namespace qf {

// The key below HKEY_LOCAL_MACHINE that holds the item's sections (shared with the main application).
inline constexpr std::u16string_view kItemSettingsKey = u"SOFTWARE\\Thornbeckvale\\Quillfeed";
inline constexpr std::u16string_view kItemSettingsCompany = u"Thornbeckvale";
inline constexpr std::u16string_view kItemSettingsProduct = u"Quillfeed";

// A REG_DWORD read as a signed number.
struct NumberSetting {
    std::u16string_view section;
    std::u16string_view key;
    LONG default_value;
};

// A REG_DWORD read as on (non-zero) or off; written as 1 or 0.
struct FlagSetting {
    std::u16string_view section;
    std::u16string_view key;
    bool default_value;
};

// A REG_SZ.
struct TextSetting {
    std::u16string_view section;
    std::u16string_view key;
    std::u16string_view default_value;
};

namespace setting {

// General
inline constexpr TextSetting kDatabasePath{u"General", u"Database", u""};
inline constexpr TextSetting kBrowser{u"General", u"Browser", u"\\Windows\\iexplore.exe"};
inline constexpr FlagSetting kAutoPurge{u"General", u"AutoPurgeFD", false};
inline constexpr NumberSetting kStartMode{u"General", u"StartMode", 0};  // written 1 to open the settings

// Settings
inline constexpr TextSetting kInstallPath{u"Settings", u"InstallPath", u""};
inline constexpr FlagSetting kUseProxy{u"Settings", u"UseProxy", false};
inline constexpr TextSetting kProxyAddress{u"Settings", u"ProxyAddress", u""};
inline constexpr TextSetting kProxyPort{u"Settings", u"ProxyPort", u""};
inline constexpr FlagSetting kUseConnectionManager{u"Settings", u"UseCM", true};
inline constexpr FlagSetting kUseAutoConnect{u"Settings", u"UseAutoConnect", false};

// Audio
inline constexpr TextSetting kAudioFolder{u"Audio", u"Folder", u""};
inline constexpr NumberSetting kAudioItemLimitMb{u"Audio", u"MaxItemSize", 2};
inline constexpr NumberSetting kAudioTotalLimitMb{u"Audio", u"MaxTotalSize", 10};
inline constexpr NumberSetting kAudioTime{u"Audio", u"AutoTime", -1};  // minute of the day; below 1: none

// Today: the item window's own settings and its handshake with the main application.
inline constexpr NumberSetting kItemWindow{u"Today", u"HWND", 0};  // the live item window's handle, else 0
inline constexpr FlagSetting kTodayHasChanged{u"Today", u"TodayHasChanged", false};
inline constexpr NumberSetting kItemHeight{u"Today", u"VSize", 75};
inline constexpr TextSetting kFontSize{u"Today", u"FontSize", u"normal"};
inline constexpr FlagSetting kWhiteBackground{u"Today", u"WhiteBackground", false};
inline constexpr FlagSetting kShowDescription{u"Today", u"ShowDescription", true};
inline constexpr NumberSetting kShadowMode{u"Today", u"ShadowMode", 0};
inline constexpr NumberSetting kWebLinkMode{u"Today", u"WebLinkMode", 1};
inline constexpr NumberSetting kTickerDelay{u"Today", u"Delay", 3};
inline constexpr NumberSetting kCurrentViewId{u"Today", u"CurrentViewID", 0};
inline constexpr FlagSetting kListMode{u"Today", u"ListMode", false};
inline constexpr FlagSetting kFeedList{u"Today", u"FeedList", false};
inline constexpr TextSetting kTopLevelClassName{u"Today", u"TopLevelClassName", u""};
inline constexpr TextSetting kTopLevelWindowName{u"Today", u"TopLevelWindowName", u""};

// Special
inline constexpr FlagSetting kVerifyDatabase{u"Special", u"VerifyDatabase", true};
inline constexpr FlagSetting kLockDatabase{u"Special", u"LockDatabase", true};
inline constexpr NumberSetting kDownloadBufferKb{u"Special", u"DownloadBuffer", 1};
inline constexpr FlagSetting kDownloadSkipHeaders{u"Special", u"DownloadSkipHeaders", true};

// Warning: thresholds of the start-up check (0 turns one off) and the scheduled-download question.
inline constexpr NumberSetting kLowRamMb{u"Warning", u"LowRAM", 1};
inline constexpr NumberSetting kLowDiskMb{u"Warning", u"LowDisk", 1};
inline constexpr NumberSetting kMaxDatabaseMb{u"Warning", u"MaxDatabase", 5};
inline constexpr FlagSetting kAskBeforeAutoReload{u"Warning", u"AutoReload", true};

// AutoReload: the schedule and the state of a download run shared with the main application.
inline constexpr NumberSetting kBackgroundStatus{u"AutoReload", u"BackgroundStatus", 0};  // 0 idle, 1, 2
inline constexpr TextSetting kBackgroundLastRefresh{u"AutoReload", u"BackgroundLastRefresh", u"0"};
inline constexpr TextSetting kLastRefreshDate{u"AutoReload", u"LastRefreshDate", u"n/a"};
inline constexpr FlagSetting kResetNextReload{u"AutoReload", u"ResetNextReload", false};
inline constexpr NumberSetting kReloadFrequency{u"AutoReload", u"Frequency", 0};
inline constexpr NumberSetting kNextReload{u"AutoReload", u"NextReload", -1};
inline constexpr FlagSetting kReloadOnPassThrough{u"AutoReload", u"OnAS", false};
// The fixed reload times Time1, Time2, ... (default 0): minutes of the day; below 1 leaves a slot empty.
inline constexpr std::u16string_view kReloadTimeSection = u"AutoReload";
inline constexpr std::u16string_view kReloadTimeKeyPrefix = u"Time";

// Extensions
inline constexpr NumberSetting kAtom10{u"Extensions", u"Atom10", 0};  // 1: read Atom 1.0 feeds too

}  // namespace setting

// Not stored: how long a database operation waits for the database lock held by another thread or
// process, and the engine for a file lock of another connection, unless the opener sets its own.
inline constexpr DWORD kDatabaseLockTimeoutMs = 10000;

}  // namespace qf
