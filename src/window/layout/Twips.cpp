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
    , m_left(left)
    , m_top(top)
    , m_width(width)
    , m_height(height)
{
    apply();
}

void TwipsPlacement::setLeft(float twips)
{
    m_left = twips;
    apply();
}

void TwipsPlacement::setTop(float twips)
{
    m_top = twips;
    apply();
}

void TwipsPlacement::setWidth(float twips)
{
    m_width = twips;
    apply();
}

void TwipsPlacement::setHeight(float twips)
{
    m_height = twips;
    apply();
}

void TwipsPlacement::restore(const Values &values)
{
    m_left = values.left;
    m_top = values.top;
    m_width = values.width;
    m_height = values.height;
    apply();
}

void TwipsPlacement::apply()
{
    const float x = Twips::perPixelX(m_widget);
    const float y = Twips::perPixelY(m_widget);
    const QRect pixels(toPixels(m_left, x), toPixels(m_top, y), std::max(0, toPixels(m_width, x)),
                       std::max(0, toPixels(m_height, y)));
    if (m_widget->geometry() != pixels)
        m_widget->setGeometry(pixels);
}
