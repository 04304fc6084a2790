#include "link_opener.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_device.h"
#include "win/strings.h"

namespace qf::emu {
namespace {

TEST(LinkOpener, WhatTheDesktopBrowserIsGiven) {
    test::TempDevice device;
    std::filesystem::create_directories(device.HostPath("Program Files/Quillfeed"));
    std::ofstream(device.HostPath("Program Files/Quillfeed/extendedTemp.htm")) << "<html></html>";
    std::string page = device.HostPath("Program Files/Quillfeed/extendedTemp.htm").string();
    struct Case {
        device::Launch launch;
        std::optional<std::string> target;
    };
    for (const Case& c : std::vector<Case>{
             {{u"open", u"\\Windows\\iexplore.exe", u"http://example.com/a?b=1", u"", 1},
              "http://example.com/a?b=1"},
             {{u"open", u"HTTPS://example.com/", u"", u"", 1}, "HTTPS://example.com/"},
             {{u"open", u"\\Windows\\iexplore.exe", u"\\program files\\quillfeed\\extendedTemp.htm", u"", 1},
              page},
             {{u"open", u"\\Program Files\\Quillfeed\\extendedTemp.htm", u"", u"", 1}, page},
             {{u"open", u"\\Windows\\iexplore.exe", u"\\Program Files\\Quillfeed\\missing.htm", u"", 1},
              std::nullopt},
             {{u"open", u"\\Program Files\\Quillfeed\\Quillfeed.exe", u"-t", u"", 1}, std::nullopt},
             {{u"open", u"\\Windows\\iexplore.exe", u"ftp://example.com/", u"", 1}, std::nullopt},
         }) {
        EXPECT_EQ(DesktopTarget(c.launch), c.target)
            << WideToUtf8(c.launch.file + u" " + c.launch.parameters);
    }
}

}  // namespace
}  // namespace qf::emu
