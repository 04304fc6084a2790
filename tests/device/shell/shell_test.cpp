// The shell's launches and notifications as the plug-in and a host see them.
#include <gtest/gtest.h>

#include <fstream>

#include "qfdevice/device.h"
#include "qfdevice/launches.h"
#include "qfdevice/notifications.h"
#include "shell/notification_html.h"
#include "support/temp_device.h"
#include "windows.h"

namespace qf::test {
namespace {

using device::Launch;

void MakeFile(const TempDevice& device, const std::string& relative) {
    std::filesystem::path path = device.HostPath(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "x";
}

SHELLEXECUTEINFO Record(LPCWSTR file, LPCWSTR parameters = nullptr) {
    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof(info), info.fMask = SEE_MASK_NOCLOSEPROCESS, info.lpVerb = u"open";
    info.lpFile = file, info.lpParameters = parameters, info.nShow = SW_SHOWNORMAL;
    return info;
}

TEST(ShellExecute, LaunchesOnlyWhatTheDeviceHolds) {
    TempDevice device;
    MakeFile(device, "Program Files/Quillfeed/Quillfeed.exe");
    MakeFile(device, "Program Files/Quillfeed/help/help.htm");
    std::vector<Launch> told;
    device::SetLaunchHook([&](const Launch& launch) { told.push_back(launch); });
    size_t before = device::Launches().size();

    struct Case {
        const char16_t* file;
        bool browser_installed;
        bool launched;
    };
    for (const Case& c : std::vector<Case>{
             {u"\\Program Files\\Quillfeed\\Quillfeed.exe", false, true},
             {u"\\program files\\QUILLFEED\\help\\help.htm", false, true},  // names match in any case
             {u"\\Program Files\\Quillfeed\\Missing.exe", false, false},
             {u"\\Program Files\\Quillfeed", false, false},  // a folder
             {u"http://example.com/feed", false, false},     // no browser to show it
             {u"http://example.com/feed", true, true},
             {u"HTTPS://example.com/", true, true},
             {u"iexplore.exe", true, true},  // a bare name is looked for in \Windows
             {u"ftp://example.com/", true, false},
         }) {
        if (c.browser_installed) MakeFile(device, "Windows/iexplore.exe");
        SHELLEXECUTEINFO info = Record(c.file, u"-t");
        info.hProcess = reinterpret_cast<HANDLE>(1);
        SetLastError(0);
        // Braces make the call run before the fields and the last error are read.
        EXPECT_EQ((std::tuple{ShellExecuteEx(&info), reinterpret_cast<ULONG_PTR>(info.hInstApp),
                              info.hProcess, GetLastError()}),
                  c.launched ? std::tuple(TRUE, ULONG_PTR{33}, HANDLE{}, DWORD{0})
                             : std::tuple(FALSE, ULONG_PTR{2}, HANDLE{}, DWORD{ERROR_FILE_NOT_FOUND}))
            << WideToUtf8(c.file);
    }
    std::vector<Launch> launches = device::Launches();
    ASSERT_EQ(launches.size(), before + 5);
    const Launch& first = launches[before];
    EXPECT_EQ(std::tuple(first.verb, first.file, first.parameters, first.show),
              std::tuple(u"open", u"\\Program Files\\Quillfeed\\Quillfeed.exe", u"-t", SW_SHOWNORMAL));
    EXPECT_EQ(told.size(), 5u);

    SHELLEXECUTEINFO wrong_size = Record(u"iexplore.exe");
    wrong_size.cbSize = 60;
    SHELLEXECUTEINFO no_file = Record(nullptr);
    for (SHELLEXECUTEINFO* bad : {&wrong_size, &no_file, static_cast<SHELLEXECUTEINFO*>(nullptr)})
        EXPECT_EQ((std::pair{ShellExecuteEx(bad), GetLastError()}),
                  std::pair(FALSE, DWORD{ERROR_INVALID_PARAMETER}));
    device::SetLaunchHook(nullptr);
}

constexpr CLSID kClsid{0xDC4EA9AC, 0xFF54, 0x4D57, {0x9B, 0x63, 0xA6, 0xBD, 0xD6, 0x2C, 0x97, 0xD8}};
constexpr char16_t kPromptHtml[] =
    u"<html><body><p><form method=\"POST\" action=><p>Quillfeed is ready to start a scheduled download "
    u"process.  Please confirm downloading of data.</p><p align=right><input type=button name='cmd:10' "
    u"value='Download Now'> <input type=button name='cmd:11' value='Cancel'></p></body></html>";

LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window, message, wparam, lparam);
}

class Notifications : public ::testing::Test {
  protected:
    void SetUp() override {
        device::PinClock(SYSTEMTIME{2024, 5, 5, 3, 9, 0, 0, 0});
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = SinkProc;
        window_class.lpszClassName = u"QfSink";
        RegisterClassW(&window_class);
        sink_ = CreateWindowExW(0, u"QfSink", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        device::SetNotificationHook([this] { ++changes_; });
    }
    void TearDown() override {
        device::SetNotificationHook(nullptr);
        for (const device::NotificationInfo& info : device::Notifications())
            SHNotificationRemove(&info.clsid, info.id);
        DestroyWindow(sink_);
        UnregisterClassW(u"QfSink", nullptr);
        device::UnpinClock();
    }

    SHNOTIFICATIONDATA Prompt(DWORD id, DWORD flags = 0) const {
        SHNOTIFICATIONDATA data{};
        data.cbStruct = sizeof(data), data.dwID = id, data.npPriority = SHNP_INFORM, data.csDuration = 30;
        data.grfFlags = flags, data.clsid = kClsid, data.hwndSink = sink_, data.pszHTML = kPromptHtml;
        data.pszTitle = u"Quillfeed Notification";
        return data;
    }

    // The WM_COMMANDs that reached the sink.
    std::vector<WPARAM> Commands() {
        std::vector<WPARAM> commands;
        MSG msg;
        while (PeekMessageW(&msg, sink_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) commands.push_back(msg.wParam);
        return commands;
    }

    TempDevice device_;
    HWND sink_ = nullptr;
    int changes_ = 0;
};

TEST_F(Notifications, TheBubbleShowsItsTextAndButtonsAndAButtonReachesTheSink) {
    SHNOTIFICATIONDATA data = Prompt(4510);
    ASSERT_EQ(SHNotificationAdd(&data), ERROR_SUCCESS);
    EXPECT_EQ(SHNotificationAdd(&data), ERROR_ALREADY_EXISTS);
    std::vector<device::NotificationInfo> shown = device::Notifications();
    ASSERT_EQ(shown.size(), 1u);
    // The text and buttons are read from the HTML (see NotificationHtml below).
    EXPECT_EQ(std::tuple(shown[0].title, shown[0].buttons.size(), shown[0].bubble_shown, shown[0].sink),
              std::tuple(u"Quillfeed Notification", 2u, true, sink_));

    EXPECT_FALSE(device::PressNotificationButton(kClsid, 4510, 12));  // no such button
    EXPECT_TRUE(device::PressNotificationButton(kClsid, 4510, 10));
    EXPECT_FALSE(device::PressNotificationButton(kClsid, 4510, 11));  // the bubble has gone
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{10}));
    EXPECT_FALSE(device::Notifications()[0].bubble_shown);  // answered, but still there until removed

    EXPECT_EQ(SHNotificationRemove(&kClsid, 4510), ERROR_SUCCESS);
    EXPECT_EQ(SHNotificationRemove(&kClsid, 4510), ERROR_NOT_FOUND);
    EXPECT_TRUE(device::Notifications().empty());
    EXPECT_EQ(changes_, 3);  // added, answered, removed
}

TEST_F(Notifications, TheBubbleGoesWhenDismissedOrWhenItsTimeIsUp) {
    SHNOTIFICATIONDATA timed = Prompt(1);
    SHNOTIFICATIONDATA dismissed = Prompt(2);
    SHNOTIFICATIONDATA tray = Prompt(3, SHNF_STRAIGHTTOTRAY);
    SHNOTIFICATIONDATA lasting = Prompt(4);
    lasting.csDuration = 0;
    for (SHNOTIFICATIONDATA* data : {&timed, &dismissed, &tray, &lasting})
        ASSERT_EQ(SHNotificationAdd(data), ERROR_SUCCESS);
    EXPECT_TRUE(device::DismissNotification(kClsid, 2));
    EXPECT_FALSE(device::DismissNotification(kClsid, 3));
    device::StepClock(std::chrono::seconds(29));
    std::vector<bool> shown;
    for (const auto& info : device::Notifications()) shown.push_back(info.bubble_shown);
    EXPECT_EQ(shown, (std::vector<bool>{true, false, false, true}));
    device::StepClock(std::chrono::seconds(1));
    EXPECT_EQ(std::pair(device::Notifications()[0].bubble_shown, device::Notifications()[3].bubble_shown),
              std::pair(false, true));
    EXPECT_FALSE(device::PressNotificationButton(kClsid, 1, 10));
    EXPECT_TRUE(Commands().empty());

    SHNOTIFICATIONDATA bad = Prompt(5);
    bad.cbStruct = 12;
    EXPECT_EQ(SHNotificationAdd(&bad), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SHNotificationAdd(nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SHNotificationRemove(nullptr, 1), ERROR_INVALID_PARAMETER);
}

TEST(NotificationHtml, TextAndButtonsOfAnyMarkup) {
    struct Case {
        const char16_t* html;
        const char16_t* text;
        std::vector<device::NotificationButton> buttons;
    };
    for (const Case& c :
         std::vector<Case>{{u"plain  text\n here", u"plain text here", {}},
                           {u"<p>One</p><p>Two<br>Three</p>", u"One\nTwo\nThree", {}},
                           {u"a &amp; b &lt;c&gt; &#65;&nbsp;&bogus; &", u"a & b <c> A &bogus; &", {}},
                           {u"<INPUT TYPE=button NAME=\"CMD:7\" VALUE=\"Go on\"><input name=cmd:x value=No>"
                            u"<input name='other' value='No'>",
                            u"",
                            {{u"Go on", 7}}},
                           {u"<b>cut off <input name='cmd:3' value='Yes", u"cut off", {{u"Yes", 3}}},
                           {u"<<<>>>text", u">>text", {}}}) {
        device::NotificationContent content = device::ReadNotificationHtml(c.html);
        EXPECT_EQ(content.text, c.text) << WideToUtf8(c.html);
        auto pairs = [](const std::vector<device::NotificationButton>& buttons) {
            std::vector<std::pair<std::u16string, int>> out;
            for (const auto& b : buttons) out.emplace_back(b.text, b.command);
            return out;
        };
        EXPECT_EQ(pairs(content.buttons), pairs(c.buttons)) << WideToUtf8(c.html);
    }
}

}  // namespace
}  // namespace qf::test
