// A screenshot or skin picture on the device, read pixel by pixel.
#pragma once

#include <windows.h>

#include <string>

namespace qf::test {

class Picture {
  public:
    // Loads the device file `device_path`; ok() is false when it cannot be read.
    explicit Picture(const std::u16string& device_path);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    bool ok() const { return bitmap_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  private:
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// How many pixels of `art` that are not the transparent red differ from the screen's at (left, top);
// -1 when `art` does not fit there.
int ArtMismatches(const Picture& screen, const Picture& art, int left, int top);

// Dark pixels (text or lines) inside `area` of the device file `device_png`; -1 when it cannot be read.
int DarkPixels(const std::u16string& device_png, RECT area);

}  // namespace qf::test
