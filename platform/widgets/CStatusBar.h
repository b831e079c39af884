#pragma once
// The frame's status bar: panes addressed by index, a stretching message pane first, fixed
// panes of a given width and indicator panes whose text shows only while they are enabled.

#include <QStatusBar>
#include <span>
#include <vector>

class QLabel;

class CStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    using QStatusBar::QStatusBar;

    // Once, on a new bar: one pane per id. 0 makes a separator pane (the first one stretches),
    // any other id an indicator whose text comes from the string table. False when an id has
    // no text.
    bool SetIndicators(std::span<const unsigned> ids);
    // Makes pane nIndex a plain pane of cxWidth pixels that shows its own text.
    void SetPaneInfo(int nIndex, unsigned nID, int cxWidth);
    // Indicators show their text only while enabled.
    void SetPaneEnabled(int nIndex, bool bEnabled);

    int GetCount() const;
    void SetPaneText(int nIndex, const QString &text, bool bUpdate = true);
    QString GetPaneText(int nIndex) const;
    unsigned GetItemID(int nIndex) const;
    // True for panes that follow a command-state rule (indicators).
    bool IsIndicatorPane(int nIndex) const;

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    struct Pane
    {
        QLabel *pLabel;
        unsigned nID;
        QString strText; // the indicator's text, or the pane's own text
        bool bIndicator;
        bool bEnabled;
    };
    void ShowPane(Pane &pane);
    bool ValidIndex(int nIndex) const { return nIndex >= 0 && nIndex < GetCount(); }

    std::vector<Pane> m_panes;
};
