#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "windows.h"

namespace {

// Converts with MultiByteToWideChar the way callers do: ask for the length, then convert.
std::u16string ToWide(UINT page, const std::string& bytes, DWORD flags = 0) {
    int length = MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string wide(length, u'\0');
    int written =
        MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
    EXPECT_EQ(written, length);
    return wide;
}

std::string ToMulti(UINT page, const std::u16string& wide) {
    int length = WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string bytes(length, '\0');
    EXPECT_EQ(WideCharToMultiByte(page, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length,
                                  nullptr, nullptr),
              length);
    return bytes;
}

TEST(CodePages, AnsiPageRoundTripsEveryByte) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
    std::u16string wide = ToWide(CP_ACP, all);
    ASSERT_EQ(wide.size(), 256u);
    EXPECT_EQ((std::u16string{wide[0x80], wide[0x92], wide[0x9F], wide[0xE9]}), u"€\u2019Ÿé");
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(wide[undefined], undefined);
    EXPECT_EQ(std::pair(ToMulti(CP_ACP, wide), qf::WideToAnsi(wide)), std::pair(all, all));
    EXPECT_EQ(qf::AnsiToWide(all), wide);
}

void AppendScalar(char32_t c, std::u16string& wide) {
    if (c < 0x10000) {
        wide.push_back(static_cast<char16_t>(c));
        return;
    }
    wide.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    wide.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
}

TEST(CodePages, Utf8RoundTripsScalarValuesOfEveryLength) {
    // Every value of the basic plane, and a sample of each other plane with both of its ends.
    std::u16string wide;
    for (char32_t c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) AppendScalar(c, wide);
    for (char32_t plane = 0x10000; plane <= 0x100000; plane += 0x10000) {
        for (char32_t offset = 0; offset < 0xFFFF; offset += 251) AppendScalar(plane + offset, wide);
        AppendScalar(plane + 0xFFFF, wide);
    }
    std::string utf8 = ToMulti(CP_UTF8, wide);
    EXPECT_EQ(ToWide(CP_UTF8, utf8, MB_ERR_INVALID_CHARS), wide);
    EXPECT_EQ(std::pair(qf::WideToUtf8(wide), qf::Utf8ToWide(utf8)), std::pair(utf8, wide));
    EXPECT_EQ(qf::WideToUtf8(u"a€😀"), "a\xE2\x82\xAC\xF0\x9F\x98\x80");
    // Unpaired surrogates encode as the replacement character.
    const std::u16string lone = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(std::pair(ToMulti(CP_UTF8, lone), qf::WideToUtf8(lone)),
              std::pair(std::string("a\xEF\xBF\xBD\x62\xEF\xBF\xBD"),
                        std::string("a\xEF\xBF\xBD\x62\xEF\xBF\xBD")));
    // ASCII runs of every length before and after multi-byte characters cross the blocks of the fast
    // path, decoding straight into a buffer as big as the input.
    for (size_t before = 0; before < 40; ++before) {
        const std::string bytes =
            std::string(before, 'a') + "\xC3\xA9" + std::string(40 - before, 'b') + "\xE2\x82\xAC";
        std::u16string decoded(bytes.size(), u'\0');
        const int length =
            MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                decoded.data(), static_cast<int>(decoded.size()));
        decoded.resize(static_cast<size_t>(std::max(length, 0)));
        EXPECT_EQ(decoded,
                  std::u16string(before, u'a') + u"\u00E9" + std::u16string(40 - before, u'b') + u"\u20AC");
    }
}

// The host helper repairs ill-formed UTF-8; the device's own conversion refuses it, with or without
// MB_ERR_INVALID_CHARS, so that callers fall back to the ANSI page.
TEST(CodePages, IllFormedUtf8IsRepairedOnTheHostAndRefusedOnTheDevice) {
    struct Case {
        std::string bytes;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {"\x80", u"\uFFFD"},                                // stray continuation
        {"a\xC0\xAF\x62", u"a\uFFFD\uFFFDb"},               // overlong lead byte, then its continuation
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xE2\x82\x41", u"\uFFFDA"},                       // truncated sequence keeps the next character
        {"\xF0\x9F\x98", u"\uFFFD"},                        // truncated at the end
        {"\xF5\xFF", u"\uFFFD\uFFFD"},                      // bytes that never occur
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(qf::Utf8ToWide(c.bytes), c.expected);
        for (DWORD flags : {DWORD{0}, DWORD{MB_ERR_INVALID_CHARS}}) {
            SetLastError(0);
            EXPECT_EQ((std::pair{MultiByteToWideChar(CP_UTF8, flags, c.bytes.data(), int(c.bytes.size()),
                                                     nullptr, 0),
                                 GetLastError()}),
                      std::pair(0, DWORD{ERROR_NO_UNICODE_TRANSLATION}));
        }
    }
}

TEST(CodePages, AnswersZeroWhereTheDeviceDoes) {
    char16_t wide[8] = {};
    char multi[8] = {};
    auto expect_failure = [](int result, DWORD error) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(GetLastError(), error);
    };
    SetLastError(0);
    expect_failure(MultiByteToWideChar(437, 0, "abc", 3, wide, 8), ERROR_INVALID_PARAMETER);
    expect_failure(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), ERROR_INSUFFICIENT_BUFFER);
    expect_failure(WideCharToMultiByte(CP_UTF8, 0, u"€", 1, multi, 2, nullptr, nullptr),
                   ERROR_INSUFFICIENT_BUFFER);

    // -1 counts the terminating zero, and an exactly fitting buffer is enough.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "h\xC3\xA9", -1, nullptr, 0), 3);
    EXPECT_EQ((std::pair{MultiByteToWideChar(CP_UTF8, 0, "h\xC3\xA9", -1, wide, 3), std::u16string(wide)}),
              std::pair(3, std::u16string(u"hé")));
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"hé", -1, multi, 3, nullptr, nullptr), 3);
    EXPECT_STREQ(multi, "h\xE9");
}

TEST(CodePages, CharactersOutsideTheAnsiPageTakeTheDefault) {
    const std::u16string text = u"a€Ωb😀";
    char multi[16] = {};
    BOOL used = FALSE;
    int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), multi, 16, "#", &used);
    EXPECT_EQ(std::pair(std::string(multi, length), used), std::pair(std::string("a\x80#b#"), TRUE));
    EXPECT_EQ(qf::WideToAnsi(text), "a\x80?b?");

    used = TRUE;
    WideCharToMultiByte(CP_ACP, 0, u"plain", 5, multi, 16, nullptr, &used);
    EXPECT_FALSE(used);
}

TEST(WideStrings, OrdinalComparisonPutsNullFirstAndCaseFoldingFollowsTheDeviceScripts) {
    EXPECT_EQ(lstrlenW(nullptr), 0);
    auto sign = [](int result) { return (result > 0) - (result < 0); };
    // U+FFFF after "a": compared unsigned.
    EXPECT_EQ((std::vector{sign(lstrcmpW(u"PocketPC", u"PocketPC")), sign(lstrcmpW(u"PocketPC", u"Pocketpc")),
                           sign(lstrcmpW(u"abc", u"abcd")), sign(lstrcmpW(u"\uFFFF", u"a")),
                           sign(lstrcmpW(nullptr, nullptr)), sign(lstrcmpW(nullptr, u"")),
                           sign(lstrcmpW(u"", nullptr))}),
              (std::vector{0, -1, -1, 1, 0, -1, 1}));
    // Without case: the device's scripts fold; folding goes to lower case.
    const std::vector<std::pair<std::u16string, std::u16string>> same = {
        {u"QUILLFEED", u"quillfeed"}, {u"ÀÉÎÕÜÞ", u"àéîõüþ"}, {u"ŸĀĲĹŊŹŽ", u"ÿāĳĺŋźž"},
        {u"ΑΩΆΈΌΏΪ", u"αωάέόώϊ"},     {u"ДЖЯЁЂ", u"джяёђ"},
    };
    for (const auto& [upper, lower] : same)
        EXPECT_EQ(lstrcmpiW(upper.c_str(), lower.c_str()), 0) << qf::WideToUtf8(upper);
    const std::vector<std::pair<std::u16string, std::u16string>> different = {
        {u"×", u"÷"}, {u"ß", u"ss"}, {u"ĸ", u"Ĺ"}, {u"İ", u"i"}};
    for (const auto& [a, b] : different) EXPECT_NE(lstrcmpiW(a.c_str(), b.c_str()), 0) << qf::WideToUtf8(a);
    EXPECT_LT(lstrcmpiW(u"_x", u"Ax"), 0);
    EXPECT_LT(lstrcmpiW(nullptr, u"a"), 0);
}

TEST(LastError, BelongsToTheCallingThread) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    DWORD seen_by_other = 1;
    std::thread other([&] {
        seen_by_other = GetLastError();
        SetLastError(ERROR_ACCESS_DENIED);
    });
    other.join();
    EXPECT_EQ(std::pair(seen_by_other, GetLastError()), std::pair(DWORD{0}, DWORD{ERROR_FILE_NOT_FOUND}));
}

}  // namespace
