#pragma once
// The System Information dialog: memory, processor, system and version, the system disk's
// size and free space and the disk serial number, read afresh at each opening. A click on its
// surface closes it.

#include "app/SysInfo.h"
#include "platform/widgets/CDialog.h"

#include <QBrush>
#include <functional>

class CSysInfoDlg : public CDialog
{
    Q_OBJECT
public:
    explicit CSysInfoDlg(QWidget *pParentWnd = nullptr);
    ~CSysInfoDlg() override;

    // Where the values come from; tests give made-up records.
    using RecordsReader = std::function<SysInfoRecords()>;
    void SetRecordsReader(RecordsReader reader) { m_readRecords = std::move(reader); }

    bool OnInitDialog() override;
    void OnLButtonUp(Qt::KeyboardModifiers nFlags, const QPoint &point) override;

private:
    QBrush m_brush;
    RecordsReader m_readRecords;
};
