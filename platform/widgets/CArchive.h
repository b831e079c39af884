#pragma once

// The stream a document serialises through; nothing is ever read or written with it.
class CArchive
{
public:
    explicit CArchive(bool bStoring) : m_bStoring(bStoring) { }
    bool IsStoring() const { return m_bStoring; }
    bool IsLoading() const { return !m_bStoring; }

private:
    bool m_bStoring;
};
