#pragma once
// Form1's window as it is designed: its title and the size of its client area
// in twips. Each control's place and size are in its declaration in form1.h.

#include <string_view>

namespace tindora::layout {

inline constexpr int kTwipsPerPixelAt96Dpi = 15;

inline constexpr std::string_view kWindowTitle = "Tindora1.0";
inline constexpr int kClientWidthTwips = 10215;
inline constexpr int kClientHeightTwips = 1650;

// Twips to device pixels at a given DPI, rounded to the nearest pixel.
constexpr int twipsToPixels(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

} // namespace tindora::layout
