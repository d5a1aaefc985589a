#pragma once

#include <cstdint>

#include "platform/ui_controls.h"

class QScreen;
class QWidget;

namespace quorvane {

// Twips to pixels and back for one screen: 1440 / logical DPI twips per pixel (15 at 96 DPI).
// A whole number, so that a measure of one pixel in twips maps back to exactly one pixel.
class TwipScale {
  public:
    TwipScale() = default;
    explicit TwipScale(const QScreen* screen);

    std::int32_t TwipsPerPixelX() const { return tppX_; }
    std::int32_t TwipsPerPixelY() const { return tppY_; }

    int PixelsX(std::int32_t twips) const;
    int PixelsY(std::int32_t twips) const;
    std::int32_t TwipsX(int pixels) const { return pixels * tppX_; }
    std::int32_t TwipsY(int pixels) const { return pixels * tppY_; }

  private:
    std::int32_t tppX_ = 15;
    std::int32_t tppY_ = 15;
};

// The screen the window is on, measured in twips.
class QtScreen final : public IScreen {
  public:
    QtScreen(const QWidget& window, const TwipScale& scale) : window_(window), scale_(scale) {}

    std::int32_t Width() const override;
    std::int32_t Height() const override;
    std::int32_t TwipsPerPixelX() const override { return scale_.TwipsPerPixelX(); }
    std::int32_t TwipsPerPixelY() const override { return scale_.TwipsPerPixelY(); }

  private:
    const QWidget& window_;
    const TwipScale& scale_;
};

}  // namespace quorvane
