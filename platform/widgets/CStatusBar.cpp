#include "platform/widgets/CStatusBar.h"

#include "res/Resources.h"

#include <QFontMetrics>
#include <QLabel>

namespace {

constexpr int kPanePadding = 8;

} // namespace

bool CStatusBar::SetIndicators(std::span<const unsigned> ids)
{
    for (unsigned id : ids) {
        Pane pane {new QLabel(this), id, {}, id != 0, true};
        pane.pLabel->setFrameShape(QFrame::Panel);
        pane.pLabel->setFrameShadow(QFrame::Sunken);
        pane.pLabel->setIndent(2);
        if (pane.bIndicator) {
            const char *text = FindStringResource(int(id));
            if (!text)
                return false;
            pane.strText = QString::fromUtf8(text);
            const int width = pane.pLabel->fontMetrics().horizontalAdvance(pane.strText);
            pane.pLabel->setFixedWidth(width + kPanePadding);
            pane.pLabel->setAlignment(Qt::AlignCenter);
            // Lit only when a command-state rule says so.
            pane.bEnabled = false;
        }
        const bool first = m_panes.empty();
        if (first) {
            // A long prompt must never widen the window.
            pane.pLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            pane.pLabel->setMinimumWidth(1);
        }
        addWidget(pane.pLabel, first ? 1 : 0);
        m_panes.push_back(pane);
        ShowPane(m_panes.back());
    }
    return true;
}

void CStatusBar::SetPaneInfo(int nIndex, unsigned nID, int cxWidth)
{
    if (!ValidIndex(nIndex))
        return;
    Pane &pane = m_panes[size_t(nIndex)];
    pane.nID = nID;
    pane.bIndicator = false;
    pane.bEnabled = true;
    pane.strText.clear();
    pane.pLabel->setFixedWidth(cxWidth);
    pane.pLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ShowPane(pane);
}

void CStatusBar::SetPaneEnabled(int nIndex, bool bEnabled)
{
    if (!ValidIndex(nIndex))
        return;
    Pane &pane = m_panes[size_t(nIndex)];
    if (pane.bEnabled == bEnabled)
        return;
    pane.bEnabled = bEnabled;
    ShowPane(pane);
}

void CStatusBar::ShowPane(Pane &pane)
{
    const QString shown = pane.bEnabled ? pane.strText : QString();
    if (pane.pLabel->text() != shown)
        pane.pLabel->setText(shown);
}

int CStatusBar::GetCount() const
{
    return int(m_panes.size());
}

void CStatusBar::SetPaneText(int nIndex, const QString &text, bool bUpdate)
{
    if (!ValidIndex(nIndex))
        return;
    Pane &pane = m_panes[size_t(nIndex)];
    pane.strText = text;
    ShowPane(pane);
    if (bUpdate && pane.pLabel->isVisible())
        pane.pLabel->repaint();
}

QString CStatusBar::GetPaneText(int nIndex) const
{
    return ValidIndex(nIndex) ? m_panes[size_t(nIndex)].pLabel->text() : QString();
}

unsigned CStatusBar::GetItemID(int nIndex) const
{
    return ValidIndex(nIndex) ? m_panes[size_t(nIndex)].nID : 0;
}

bool CStatusBar::IsIndicatorPane(int nIndex) const
{
    return ValidIndex(nIndex) && m_panes[size_t(nIndex)].bIndicator;
}
