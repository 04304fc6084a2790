#include "state_dump.h"

#include <gtest/gtest.h>

namespace qf::emu {
namespace {

TEST(StateDump, ColorsAreWrittenAsRgbAlthoughStoredAsBgr) {
    EXPECT_EQ(ColorName(0x000000), "#000000");
    EXPECT_EQ(ColorName(0x0000FF), "#FF0000");
    EXPECT_EQ(ColorName(0x00FF0000), "#0000FF");
    EXPECT_EQ(ColorName(0x00123456), "#563412");
}

TEST(StateDump, ItemsTextsAndTimers) {
    StateDump dump;
    dump.screen_width = 240;
    dump.screen_height = 320;
    dump.dpi = 96;
    dump.local_time = "2024-05-01T09:00:02";
    DumpedItem item;
    item.name = "Quillfeed Today";
    item.hwnd = 0x1234;
    item.window_class = "ZelTodayRSSClass";
    item.rect = {0, 26, 240, 101};
    item.visible = true;
    item.reported_height = 75;
    item.texts.push_back({u"No View items \u00e9", 20, 2, 230, 75, -11, 400, 0x00FF0000});
    dump.items.push_back(item);
    dump.timers.push_back({0x1234, "ZelTodayRSSClass", 21, 1000});

    nlohmann::json json = DumpToJson(dump);
    EXPECT_EQ(json["screen"], (nlohmann::json{{"width", 240}, {"height", 320}, {"dpi", 96}}));
    EXPECT_EQ(json["time"], "2024-05-01T09:00:02");
    const nlohmann::json& got = json["items"][0];
    EXPECT_EQ(got["hwnd"], 0x1234);
    EXPECT_EQ(got["class"], "ZelTodayRSSClass");
    EXPECT_EQ(got["rect"], (nlohmann::json{{"left", 0}, {"top", 26}, {"right", 240}, {"bottom", 101}}));
    EXPECT_EQ(got["visible"], true);
    EXPECT_EQ(got["height"], 75);
    EXPECT_EQ(got["selected"], false);
    const nlohmann::json& text = got["texts"][0];
    EXPECT_EQ(text["text"], "No View items \xc3\xa9");  // UTF-8
    EXPECT_EQ(text["rect"]["right"], 230);
    EXPECT_EQ(text["font_height"], -11);
    EXPECT_EQ(text["font_weight"], 400);
    EXPECT_EQ(text["color"], "#0000FF");
    EXPECT_EQ(
        json["timers"][0],
        (nlohmann::json{{"hwnd", 0x1234}, {"class", "ZelTodayRSSClass"}, {"id", 21}, {"interval_ms", 1000}}));
}

TEST(StateDump, EmptyListsStayArrays) {
    nlohmann::json json = DumpToJson(StateDump{});
    EXPECT_TRUE(json["items"].is_array());
    EXPECT_TRUE(json["timers"].is_array());
}

}  // namespace
}  // namespace qf::emu
