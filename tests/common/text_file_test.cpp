#include "common/text_file.h"

#include <gtest/gtest.h>

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

TEST(TextFile, DecodesUtf8AndFallsBackToAnsi) {
    test::TempDevice device;
    WriteHost(device, "utf8.txt", "caf\xC3\xA9 \xE2\x82\xAC");
    WriteHost(device, "ansi.txt", "caf\xE9 \x80");
    TextFile file;
    ASSERT_TRUE(file.Open(u"\\utf8.txt", CFile::modeRead));
    EXPECT_EQ(file.ReadAll(TextConversion::kDecode), u"caf\u00e9 \u20ac");
    ASSERT_TRUE(file.Open(u"\\ansi.txt", CFile::modeRead));
    EXPECT_EQ(file.ReadAll(TextConversion::kDecode), u"caf\u00e9 \u20ac");
}

TEST(TextFile, RawWideTakesBytesAsUtf16) {
    test::TempDevice device;
    WriteHost(device, "wide.txt", std::string("h\0i\0", 4));
    TextFile file;
    ASSERT_TRUE(file.Open(u"\\wide.txt", CFile::modeRead));
    EXPECT_EQ(file.ReadAll(TextConversion::kRawWide), u"hi");
}

TEST(TextFile, ReadLineTrimsAndReturnsLastLineWithoutNewline) {
    test::TempDevice device;
    WriteHost(device, "lines.txt", "first  \r\nsecond\t\n\nlast ");
    TextFile file;
    ASSERT_TRUE(file.Open(u"\\lines.txt", CFile::modeRead));
    std::u16string line;
    std::vector<std::u16string> lines;
    while (file.ReadLine(line)) lines.push_back(line);
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

TEST(TextFile, MissingFileFailsToOpenAndReadsNothing) {
    test::TempDevice device;
    TextFile file;
    EXPECT_FALSE(file.Open(u"\\nothing.txt", CFile::modeRead));
    EXPECT_EQ(file.ReadAll(TextConversion::kDecode), u"");
    std::u16string line;
    EXPECT_FALSE(file.ReadLine(line));
}

}  // namespace
}  // namespace qf
