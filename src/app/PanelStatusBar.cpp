#include "PanelStatusBar.h"

#include "Twips.h"

#include <QLabel>

#include <algorithm>
#include <cmath>

namespace {

struct PanelLook {
    const char *name;
    const char *text;
    Qt::Alignment alignment;
    QFrame::Shadow bevel;
    float minimumWidth; // twips
    int stretch;
};

constexpr float FixedPanelWidth = 700;

// Panel 1 keeps its width, panel 2 fits its text, panel 3 takes the rest.
const std::array<PanelLook, 3> Looks{{
    {"panel1", "Status:", Qt::AlignRight | Qt::AlignVCenter, QFrame::Sunken, FixedPanelWidth, 0},
    {"panel2", "", Qt::AlignCenter, QFrame::Raised, 100, 0},
    {"panel3", "", Qt::AlignLeft | Qt::AlignVCenter, QFrame::Sunken, 100, 1},
}};

} // namespace

PanelStatusBar::PanelStatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    QFont bold(QStringLiteral("Sans Serif"));
    bold.setPointSizeF(8.25);
    bold.setBold(true);
    setFont(bold);

    const float twipsPerPixel = Twips::perPixelX(this);
    for (std::size_t i = 0; i < Looks.size(); ++i) {
        const PanelLook &look = Looks[i];
        auto *label = new QLabel(QString::fromLatin1(look.text), this);
        label->setObjectName(QString::fromLatin1(look.name));
        label->setAlignment(look.alignment);
        label->setFrameStyle(QFrame::Panel | look.bevel);
        label->setContentsMargins(1, 0, 1, 0);
        label->setMinimumWidth(int(std::lround(look.minimumWidth / twipsPerPixel)));
        addWidget(label, look.stretch);
        m_panels[i] = label;
    }
    // Panel 1 keeps its width, widened only where the platform's font would cut "Status:".
    m_panels[0]->setFixedWidth(
        std::max(m_panels[0]->minimumWidth(), m_panels[0]->sizeHint().width()));
}

QLabel *PanelStatusBar::panel(int panel) const
{
    return m_panels.at(std::size_t(panel - 1));
}

QString PanelStatusBar::panelText(int panel) const
{
    return this->panel(panel)->text();
}

void PanelStatusBar::setPanelText(int panel, const QString &text)
{
    QLabel *label = this->panel(panel);
    if (label->text() != text)
        label->setText(text);
}
