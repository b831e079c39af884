#pragma once
// Command targets in the spirit of a message map: each class keeps a static table from command
// id to handler and to command-state rule. The frame routes a command view -> document ->
// frame -> application; the first table that carries the id handles it.

#include <span>

class CCmdUI
{
public:
    explicit CCmdUI(int nID)
        : m_nID(nID)
    {
    }
    virtual ~CCmdUI() = default;

    virtual void Enable(bool bOn = true)
    {
        m_bEnabled = bOn;
        m_bEnableChanged = true;
    }
    // 0 unchecked, 1 checked.
    virtual void SetCheck(int nCheck = 1)
    {
        m_nCheck = nCheck;
        m_bCheckChanged = true;
    }

    int m_nID;
    bool m_bEnabled = false;
    int m_nCheck = 0;
    bool m_bEnableChanged = false;
    bool m_bCheckChanged = false;
};

class CCmdTarget
{
public:
    virtual ~CCmdTarget() = default;
    // With pCmdUI null: runs the handler for nID, returns true when this target has one.
    // With pCmdUI set: applies the command-state rule (a handler without a rule enables the
    // item), returns true when this target carries nID at all.
    virtual bool OnCmdMsg(int nID, CCmdUI *pCmdUI) = 0;
};

template<class T>
struct CommandEntry
{
    int nID;
    void (T::*pfnCommand)();          // may be null: a command-state rule only
    void (T::*pfnUpdate)(CCmdUI *);   // may be null: enabled while a handler exists
};

// Looks nID up in a class's table; see CCmdTarget::OnCmdMsg for the result.
template<class T>
bool DispatchCommandTable(T *self, std::span<const CommandEntry<T>> table, int nID,
                          CCmdUI *pCmdUI)
{
    for (const CommandEntry<T> &e : table) {
        if (e.nID != nID)
            continue;
        if (pCmdUI) {
            if (e.pfnUpdate) {
                (self->*e.pfnUpdate)(pCmdUI);
                return true;
            }
            if (e.pfnCommand) {
                pCmdUI->Enable(true);
                return true;
            }
            continue;
        }
        if (e.pfnCommand) {
            (self->*e.pfnCommand)();
            return true;
        }
    }
    return false;
}
