// Shared helpers of the GDI tests: a device with fonts and a fixed profile, and RAII for the GDI
// objects a test draws with.
#pragma once

#include <string>
#include <vector>

#include "qfdevice/device.h"
#include "support/temp_device.h"
#include "windows.h"

namespace qf::test {

enum class DeviceFonts { kTahoma, kNone };

// A throw-away device root whose \Windows folder holds Debian's Tahoma files (or nothing), with the
// named profile in force until the object goes.
class GdiDevice {
  public:
    explicit GdiDevice(DeviceFonts fonts = DeviceFonts::kTahoma, const std::string& profile = "qvga");
    ~GdiDevice();
    const TempDevice& device() const { return device_; }

  private:
    TempDevice device_;
};

// A memory DC with a white width x height bitmap selected into it.
class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    // Selects a font of this LOGFONT height and weight (face Tahoma) for the rest of the canvas's life.
    void UseFont(LONG height, LONG weight = FW_NORMAL, const char16_t* face = u"Tahoma");
    // The smallest rectangle holding every pixel that is not white; empty when there is none.
    RECT InkBounds() const;
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_bitmap_;
    HFONT font_ = nullptr;
    HGDIOBJ old_font_ = nullptr;
};

// The colours of the DC's pixels at those points, in order.
std::vector<COLORREF> Pixels(HDC dc, std::initializer_list<POINT> at);

// A font from a LOGFONT of that height, weight and face.
HFONT CreateTestFont(LONG height, LONG weight = FW_NORMAL, const char16_t* face = u"Tahoma");

}  // namespace qf::test
