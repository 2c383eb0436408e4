#pragma once

#include <QStatusBar>

#include <array>

class QLabel;

// A status bar of three text panels numbered from 1 at the left: a fixed
// panel, one that fits its text, and one that takes the rest of the bar.
class PanelStatusBar : public QStatusBar {
    Q_OBJECT

public:
    explicit PanelStatusBar(QWidget *parent);

    QString panelText(int panel) const;
    // Unchanged text is not written again, so an idle poll costs no relayout.
    void setPanelText(int panel, const QString &text);
    QLabel *panel(int panel) const;

private:
    std::array<QLabel *, 3> m_panels{};
};
