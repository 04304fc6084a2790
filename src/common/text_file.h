// Whole-file text reading and writing: the downloaded page scanned for a refresh redirect, the extended
// page stored as an item's text, the local page written for the browser. A read loads the whole file
// into one wide string on first use; writes collect text in memory and store it at Close. One thread at
// a time.
#pragma once

#include <windows.h>

#include <string>

namespace qf {

enum class TextConversion {
    kDecode,   // UTF-8, else the ANSI page, else the bytes taken one by one
    kRawWide,  // the bytes are taken as UTF-16 text
};

class TextFile {
  public:
    TextFile() = default;
    // Closes the file, storing written text.
    ~TextFile() { Close(); }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens `path` with CFile flags (readers CFile::modeRead, writers modeCreate | modeWrite); an open
    // file is closed first. False when the file cannot be opened.
    bool Open(const std::u16string& path, UINT mode);
    // The whole text; empty when nothing is open or the load failed.
    std::u16string ReadAll(TextConversion conversion);
    // The next line without its trailing white space; false at the end of the text. Always decodes.
    bool ReadLine(std::u16string& line);
    // Appends `text`; the first write after Open starts from empty text.
    void Write(const std::u16string& text);
    // Stores written text (line ends made CR LF, encoded in the ANSI page) and closes the file.
    void Close();

  private:
    void Load(TextConversion conversion);

    bool open_ = false;
    std::u16string text_;
    size_t position_ = 0;
    bool needs_load_ = false;
    bool dirty_ = false;
    CFile file_;
};

}  // namespace qf
