#include "qt/qt_screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace quorvane {
namespace {

std::int32_t TwipsPerPixel(double dotsPerInch) {
    if (!(dotsPerInch > 0.0)) {
        return 15;
    }
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(1440.0 / dotsPerInch)));
}

int ToPixels(std::int32_t twips, std::int32_t twipsPerPixel) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel));
}

QRect ScreenGeometry(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->geometry() : QRect();
}

}  // namespace

TwipScale::TwipScale(const QScreen* screen) {
    if (screen != nullptr) {
        tppX_ = TwipsPerPixel(screen->logicalDotsPerInchX());
        tppY_ = TwipsPerPixel(screen->logicalDotsPerInchY());
    }
}

int TwipScale::PixelsX(std::int32_t twips) const {
    return ToPixels(twips, tppX_);
}
int TwipScale::PixelsY(std::int32_t twips) const {
    return ToPixels(twips, tppY_);
}

std::int32_t QtScreen::Width() const {
    return scale_.TwipsX(ScreenGeometry(window_).width());
}
std::int32_t QtScreen::Height() const {
    return scale_.TwipsY(ScreenGeometry(window_).height());
}

}  // namespace quorvane
