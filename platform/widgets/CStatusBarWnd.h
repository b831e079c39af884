#pragma once
// The frame's status bar: panes addressed by index, a stretching message pane first, fixed
// panes of a given width and indicator panes whose text shows only while they are enabled.

#include "platform/widgets/CFrameWnd.h"

#include <QStatusBar>
#include <span>
#include <vector>

class QLabel;

class CStatusBarWnd : public QStatusBar, public CStatusBar
{
    Q_OBJECT
public:
    explicit CStatusBarWnd(QWidget *parent = nullptr);
    ~CStatusBarWnd() override;

    // One pane per id: 0 makes a separator pane (the first one stretches), any other id an
    // indicator whose text comes from the string table. False when an id has no text.
    bool SetIndicators(std::span<const unsigned> ids);
    void SetPaneInfo(int nIndex, unsigned nID, unsigned nStyle, int cxWidth);
    // Indicators show their text only while enabled.
    void SetPaneEnabled(int nIndex, bool bEnabled);

    int GetCount() const override;
    void SetPaneText(int nIndex, const QString &text, bool bUpdate = true) override;
    QString GetPaneText(int nIndex) const override;
    int GetPaneWidth(int nIndex) const override;
    unsigned GetItemID(int nIndex) const override;
    bool IsPaneEnabled(int nIndex) const override;
    // True for panes that follow a command-state rule (indicators).
    bool IsIndicatorPane(int nIndex) const;

private:
    struct Pane
    {
        QLabel *pLabel;
        unsigned nID;
        unsigned nStyle;
        QString strText; // the indicator's text, or the pane's own text
        bool bIndicator;
        bool bEnabled;
    };
    void ShowPane(Pane &pane);
    bool ValidIndex(int nIndex) const { return nIndex >= 0 && nIndex < GetCount(); }

    std::vector<Pane> m_panes;
};
