#pragma once

#include <QStatusBar>

#include <array>

class OncePerFrame;
class QLabel;

// A status bar of three text panels numbered from 1 at the left: a fixed
// panel, one that fits its text, and one that takes the rest of the bar.
// However often their texts are written, the panels show them at most once
// per display frame, and always the last text written.
class PanelStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit PanelStatusBar(QWidget *parent);

    // The text last written, which the panel shows by the end of the frame.
    QString panelText(int panel) const;
    void setPanelText(int panel, const QString &text);
    QLabel *panel(int panel) const;

private:
    void showTexts();

    std::array<QLabel *, 3> m_panels{};
    std::array<QString, 3> m_texts;
    OncePerFrame *m_showTexts;
};
