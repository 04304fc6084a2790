#include "common/text_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "support/temp_device.h"

namespace qf {
namespace {

std::string HostBytes(const test::TempDevice& device, const std::string& name) {
    std::ifstream in(device.HostPath(name), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteHost(const test::TempDevice& device, const std::string& name, const std::string& bytes) {
    std::ofstream(device.HostPath(name), std::ios::binary) << bytes;
}

TEST(TextFile, ReadAllDecodesUtf8AnsiOrRawWideAndReadLineTrims) {
    test::TempDevice device;
    const struct {
        const char* name;
        std::string bytes;
        TextConversion conversion;
        std::u16string expected;
    } cases[] = {
        {"utf8.txt", "caf\xC3\xA9 \xE2\x82\xAC", TextConversion::kDecode, u"caf\u00e9 \u20ac"},
        {"ansi.txt", "caf\xE9 \x80", TextConversion::kDecode, u"caf\u00e9 \u20ac"},
        {"wide.txt", std::string("h\0i\0", 4), TextConversion::kRawWide, u"hi"},
    };
    for (const auto& c : cases) {
        WriteHost(device, c.name, c.bytes);
        TextFile file;
        ASSERT_TRUE(file.Open(u"\\" + std::u16string(c.name, c.name + std::strlen(c.name)), CFile::modeRead));
        EXPECT_EQ(file.ReadAll(c.conversion), c.expected) << c.name;
    }
    TextFile missing;
    EXPECT_FALSE(missing.Open(u"\\nothing.txt", CFile::modeRead));
    EXPECT_EQ(missing.ReadAll(TextConversion::kDecode), u"");
    std::u16string line;
    EXPECT_FALSE(missing.ReadLine(line));

    // ReadLine trims and returns the last line without its newline.
    WriteHost(device, "lines.txt", "first  \r\nsecond\t\n\nlast ");
    TextFile lines_file;
    ASSERT_TRUE(lines_file.Open(u"\\lines.txt", CFile::modeRead));
    std::vector<std::u16string> lines;
    while (lines_file.ReadLine(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"first", u"second", u"", u"last "}));
}

TEST(TextFile, WritesCrLfLineEndsInTheAnsiPage) {
    test::TempDevice device;
    {
        TextFile file;
        ASSERT_TRUE(file.Open(u"\\out.htm", CFile::modeCreate | CFile::modeWrite));
        file.Write(u"a\nb\r\n");
        file.Write(u"\u00e9\u20ac\n");
    }
    EXPECT_EQ(HostBytes(device, "out.htm"), "a\r\nb\r\n\xE9\x80\r\n");
}

}  // namespace
}  // namespace qf
