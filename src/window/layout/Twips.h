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

    float Top() const { return m_values.top; }
    float Width() const { return m_values.width; }
    float Height() const { return m_values.height; }

    void setLeft(float twips) { set(m_values.left, twips); }
    void setTop(float twips) { set(m_values.top, twips); }
    void setWidth(float twips) { set(m_values.width, twips); }
    void setHeight(float twips) { set(m_values.height, twips); }

    // Every value as last set, to be put back later with restore().
    struct Values {
        float left;
        float top;
        float width;
        float height;
    };
    Values values() const { return m_values; }
    // Puts values back and places the widget by them, wherever it was put meanwhile.
    void restore(const Values &values);

private:
    void set(float &value, float twips);
    void apply();

    QWidget *m_widget;
    Values m_values;
};
