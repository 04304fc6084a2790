// A throw-away device with the item's library state loaded, a stand-in Today screen window that answers
// the item's colour and watermark requests, and a recorder of the messages a window receives.
#pragma once

#include <gtest/gtest.h>
#include <todaycmn.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/settings_store.h"
#include "host/library_state.h"
#include "support/temp_device.h"

namespace qf::host::test {

inline constexpr COLORREF kShellText = RGB(1, 2, 3);

// Records every message a window gets (Wine's user32 tests do the same) by replacing its procedure and
// passing each message on. One recorder per window; it must go before the window does.
class MessageRecorder {
  public:
    explicit MessageRecorder(HWND window);
    ~MessageRecorder();

    int Count(UINT message) const;
    void Clear() { messages_.clear(); }
    // Called after the window has handled each message.
    void set_after(std::function<void(UINT message, WPARAM wparam)> after) { after_ = std::move(after); }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HWND window_;
    WNDPROC original_;
    std::vector<UINT> messages_;
    std::function<void(UINT, WPARAM)> after_;
};

class ItemTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The stand-in Today screen, a top-level "DesktopExplorerWindow" in front.
    HWND shell() const { return shell_; }
    // A Today item record as the shell passes it.
    TODAYLISTITEM Record(BOOL enabled) const;
    // InitializeCustomItem through the library's entry, answering the item window.
    HWND CreateTodayItem(TODAYLISTITEM& record);
    // CreateTodayItem with an enabled record kept in `record_`.
    HWND CreateEnabledItem() { return CreateTodayItem(record_ = Record(TRUE)); }
    std::optional<LONG> Setting(const std::u16string& section, const std::u16string& key) const;
    bool TimerRuns(HWND window, UINT_PTR id) const;
    // The texts of the window's latest frame, joined by "|".
    std::u16string DrawnTexts(HWND window) const;

    // The device's database with view 3 "Tech" listing `feeds` feeds of `items` items each. Feed f is
    // "Feed f"; its item i (id f * 100 + i, newest first by i) is titled "Feed f item i", links to
    // http://example.com/f/i and has the description "About f/i". Today/CurrentViewID is 3.
    void MakeDatabase(int feeds, int items);
    // Runs one statement on the device's database.
    void Sql(const std::u16string& statement);
    // Moves the device clock on, delivering the timers on the way.
    void Advance(int ms);

    qf::test::TempDevice device_;
    TODAYLISTITEM record_{};

  private:
    HWND shell_ = nullptr;
};

}  // namespace qf::host::test
