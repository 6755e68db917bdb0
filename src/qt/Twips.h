#pragma once

#include <QRect>
#include <cmath>

namespace tessarin::qt {

// Window geometry is kept in twips (1440 per logical inch); the screen works in pixels.
struct Twips {
  double dpiX = 96;
  double dpiY = 96;

  int toPixelsX(int twips) const { return static_cast<int>(std::lround(twips * dpiX / 1440.0)); }
  int toPixelsY(int twips) const { return static_cast<int>(std::lround(twips * dpiY / 1440.0)); }
  int fromPixelsX(int pixels) const {
    return static_cast<int>(std::lround(pixels * 1440.0 / dpiX));
  }
  int fromPixelsY(int pixels) const {
    return static_cast<int>(std::lround(pixels * 1440.0 / dpiY));
  }
};

}  // namespace tessarin::qt
