#pragma once

class QWidget;

// Positions and sizes are kept in twips (1/1440 inch) as single-precision
// numbers; pixels are only what a widget is placed at.
namespace Twips {

inline constexpr float PerInch = 1440.0f;

float perPixelX(const QWidget *widget);
float perPixelY(const QWidget *widget);

} // namespace Twips

// Places one widget in twips and keeps every value exactly as it was last set,
// whatever pixel rounding the placement needs. A negative size is kept as set
// and placed as zero pixels.
class TwipsPlacement {
public:
    TwipsPlacement(QWidget *widget, float left, float top, float width, float height);

    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }

    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);

    // Every value as last set, to be put back later with restore().
    struct Values {
        float left;
        float top;
        float width;
        float height;
    };
    Values values() const { return {m_left, m_top, m_width, m_height}; }
    // Puts values back and places the widget by them, wherever it was put meanwhile.
    void restore(const Values &values);

private:
    void apply();

    QWidget *m_widget;
    float m_left;
    float m_top;
    float m_width;
    float m_height;
};
