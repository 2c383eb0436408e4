#include "Twips.h"

#include <QRect>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace Twips {

float perPixelX(const QWidget *widget)
{
    return PerInch / float(widget->logicalDpiX());
}
float perPixelY(const QWidget *widget)
{
    return PerInch / float(widget->logicalDpiY());
}

} // namespace Twips

namespace {

int toPixels(float twips, float twipsPerPixel)
{
    return int(std::lround(twips / twipsPerPixel));
}

} // namespace

TwipsPlacement::TwipsPlacement(QWidget *widget, float left, float top, float width, float height)
    : m_widget(widget)
    , m_values{left, top, width, height}
{
    apply();
}

void TwipsPlacement::set(float &value, float twips)
{
    value = twips;
    apply();
}

void TwipsPlacement::restore(const Values &values)
{
    m_values = values;
    apply();
}

void TwipsPlacement::apply()
{
    const float x = Twips::perPixelX(m_widget);
    const float y = Twips::perPixelY(m_widget);
    const QRect pixels(toPixels(m_values.left, x), toPixels(m_values.top, y),
                       std::max(0, toPixels(m_values.width, x)),
                       std::max(0, toPixels(m_values.height, y)));
    if (m_widget->geometry() != pixels)
        m_widget->setGeometry(pixels);
}
