#pragma once
// An application with its template, document, frame and a view that records the commands it
// is given, as the dialogs find them at run time; and small helpers to drive controls.

#include "platform/widgets/CDialog.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CView.h"
#include "platform/widgets/CWinApp.h"
#include "tests/common/TestSupport.h"
#include "view/CVelorineDoc.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <functional>
#include <memory>
#include <vector>

// The texts of the message boxes shown so far.
std::vector<QString> ShownTexts(ScopedTestProviders &providers);

class RecordingView : public CView
{
public:
    void OnDraw(CDC *) override { }
    bool OnCmdMsg(int nID, CCmdUI *pCmdUI) override
    {
        if (!pCmdUI) {
            commands.push_back(nID);
            if (onCommand)
                onCommand(nID);
        }
        return true;
    }
    std::vector<int> commands;
    std::function<void(int)> onCommand;
};

class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<QString> Messages() { return ShownTexts(m_providers); }

    ScopedTestProviders m_providers;
    std::unique_ptr<CWinApp> m_pApp;
    CSingleDocTemplate *m_pTemplate = nullptr;
    CVelorineDoc *m_pDoc = nullptr;
    RecordingView *m_pView = nullptr;
};

QLineEdit *Edit(const CDialog &dlg, int nID);
// Replaces the text of edit nID the way a user does: select all, type.
void Type(CDialog &dlg, int nID, const QString &text);
void Click(CDialog &dlg, int nID);
bool IsChecked(const CDialog &dlg, int nID);
// A field that the dialog's OK must refuse: typed into a freshly created dialog, OK (by
// nOkID, or Enter in the field when nOkID is 0) shows message once, the dialog stays open and
// the field has the focus with its text selected. The dialog's controls are dropped after.
struct RefusedField
{
    int nID;
    const char *text;
    const char *message;
};
void ExpectRefusedOnOk(CDialog &dlg, ScopedTestProviders &providers, const RefusedField &field,
                       int nOkID);
// The edit has the focus within its dialog and all of its text is selected.
bool HasFocusWithTextSelected(const CDialog &dlg, int nID);
