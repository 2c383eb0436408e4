#pragma once

// The fixed arithmetic that fits the controls to the window, in twips on the
// window's outer size.
namespace LayoutRules {

inline constexpr float EngineWidthMargin = 100;
inline constexpr float EngineHeightMarginNormal = 1300;
inline constexpr float EngineHeightMarginMaxView = 700;
inline constexpr float EngineTopNormal = 360;
inline constexpr float EngineTopMaxView = 0;
inline constexpr float GoRightMargin = 200;
inline constexpr float AddressGap = 200;
inline constexpr float AddressLeft = 0;

struct Fitted {
    float engineWidth;
    float engineHeight;
    float goLeft;
    float addressLeft;
    float addressWidth;
};

// Rounds to seven significant decimal digits, as the Go button's position is
// computed; whole-twip values of fewer than eight digits pass unchanged.
float sevenSignificantDigits(float value);

Fitted fit(float windowWidth, float windowHeight, float goWidth);

// The frame height, title bar and borders, that the normal view's height
// margin leaves room for beside the address row, the menu bar and the status
// bar: with a frame of this height the page ends where the status bar begins.
inline float frameHeightTheMarginsFit(float menuBarHeight, float statusBarHeight)
{
    return EngineHeightMarginNormal - EngineTopNormal - menuBarHeight - statusBarHeight;
}

// The view mode is not stored: the engine view's height tells it.
inline bool isMaxView(float engineHeight, float windowHeight)
{
    return engineHeight == windowHeight - EngineHeightMarginMaxView;
}

} // namespace LayoutRules
