#include "LayoutRules.h"

#include <charconv>

namespace LayoutRules {

float sevenSignificantDigits(float value)
{
    char digits[32];
    const auto printed =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 7);
    float rounded = value;
    std::from_chars(digits, printed.ptr, rounded);
    return rounded;
}

Fitted fit(float windowWidth, float windowHeight, float goWidth)
{
    const float goLeft = sevenSignificantDigits(windowWidth - goWidth) - GoRightMargin;
    return {windowWidth - EngineWidthMargin, windowHeight - EngineHeightMarginNormal, goLeft,
            AddressLeft, goLeft - AddressGap};
}

} // namespace LayoutRules
