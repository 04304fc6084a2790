// Standard output gathered in a buffer and written in big pieces: a big feed printed item by item
// through iostreams costs more than parsing it.
#pragma once

#include <string>
#include <string_view>

namespace qf::cli {

// Used by one thread; writes what is left when destroyed.
class OutputBuffer {
  public:
    OutputBuffer() = default;
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer() { Flush(); }

    void Append(std::string_view text);
    // `text` in UTF-8 as a JSON string: in quotes, with quotes, backslashes and control characters
    // escaped the way nlohmann::json writes them.
    void AppendJsonString(std::u16string_view text);
    void Flush();

  private:
    void FlushIfFull();

    std::string buffer_;
};

}  // namespace qf::cli
