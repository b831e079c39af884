#include "platform/widgets/CDialog.h"

#include "platform/Guard.h"
#include "platform/widgets/CComboBox.h"
#include "platform/widgets/CFrameWnd.h"
#include "platform/widgets/CWinApp.h"
#include "platform/widgets/DataExchange.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

CDialog::ModalHook &ModalHookSlot()
{
    static CDialog::ModalHook hook;
    return hook;
}

// The original platform's rounding multiply-divide.
int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

// A static text's "&x" marks a mnemonic and "&&" a literal ampersand.
QString StripPrefix(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

bool Fits(const QWidget *pWidget, QSize size)
{
    if (auto *pLabel = qobject_cast<const QLabel *>(pWidget)) {
        return pLabel->heightForWidth(size.width()) <= size.height()
            && pLabel->minimumSizeHint().width() <= size.width();
    }
    if (auto *pRadio = qobject_cast<const QRadioButton *>(pWidget))
        return CDialog::RadioTextWidth(*pRadio) <= size.width();
    return true;
}

// Our substitute fonts run wider and taller than the ones the rectangles were drawn for: a
// text that would be clipped gets a smaller font, never a larger rectangle.
void ShrinkToFit(QWidget *pWidget, QSize size)
{
    constexpr int kSmallestPixels = 9;
    QFont font = pWidget->font();
    while (!Fits(pWidget, size) && font.pixelSize() > kSmallestPixels) {
        font.setPixelSize(font.pixelSize() - 1);
        pWidget->setFont(font);
    }
}

bool IsReturnKey(const QKeyEvent *event)
{
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && mods == Qt::NoModifier;
}

} // namespace

CDialog::CDialog(const DialogTemplate &tmpl, QWidget *pParentWnd)
    : QDialog(nullptr), m_template(tmpl), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // Controls the dialog's owner attached stay the owner's.
    for (const QPointer<QWidget> &p : m_attachedControls) {
        if (p)
            p->setParent(nullptr);
    }
}

QString CDialog::MapFontFamily(const std::string &strTemplateFont)
{
    static const QStringList families = QFontDatabase::families();
    auto firstInstalled = [](std::initializer_list<const char *> names) {
        for (const char *name : names) {
            if (families.contains(QString::fromLatin1(name), Qt::CaseInsensitive))
                return QString::fromLatin1(name);
        }
        return QString::fromLatin1(*names.begin());
    };
    const QString name = QString::fromStdString(strTemplateFont);
    if (name.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("MS Serif"), Qt::CaseInsensitive) == 0)
        return firstInstalled({"Noto Serif CJK SC", "AR PL UMing CN", "WenQuanYi Micro Hei"});
    return firstInstalled({"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"});
}

QFont CDialog::TemplateFont(const DialogTemplate &tmpl)
{
    QFont font(MapFontFamily(tmpl.strFontName));
    // Points at 96 dots per inch, as the dialog units were laid out for.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(tmpl.nPointSize * 96.0 / 72.0))));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QSize CDialog::BaseUnits(const QFont &font)
{
    const QFontMetrics fm(font);
    const int cx = fm.horizontalAdvance(
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    return QSize((cx / 26 + 1) / 2, fm.ascent() + fm.descent());
}

int CDialog::RadioTextWidth(const QRadioButton &radio)
{
    const QStyle *pStyle = radio.style();
    return pStyle->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &radio)
        + pStyle->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &radio)
        + radio.fontMetrics().horizontalAdvance(radio.text());
}

QRect CDialog::MapDialogRect(const QRect &rc) const
{
    const int bx = m_baseUnits.width();
    const int by = m_baseUnits.height();
    const int left = MulDiv(rc.x(), bx, 4);
    const int top = MulDiv(rc.y(), by, 8);
    const int right = MulDiv(rc.x() + rc.width(), bx, 4);
    const int bottom = MulDiv(rc.y() + rc.height(), by, 8);
    return QRect(left, top, right - left, bottom - top);
}

CDialog::ModalHook CDialog::SetModalHook(ModalHook hook)
{
    ModalHook old = std::move(ModalHookSlot());
    ModalHookSlot() = std::move(hook);
    return old;
}

void CDialog::ConnectButton(QWidget *pWidget, int nID)
{
    if (auto *pButton = qobject_cast<QAbstractButton *>(pWidget))
        connect(pButton, &QAbstractButton::clicked, this,
                [this, nID] { SendNotify(BN_CLICKED, nID); });
}

QWidget *CDialog::BuildControl(const DialogControl &ctl)
{
    const QString text = QString::fromStdString(ctl.strText);
    QRect rc = MapDialogRect(QRect(ctl.x, ctl.y, ctl.cx, ctl.cy));
    QWidget *pWidget = nullptr;
    switch (ctl.kind) {
    case DialogControlKind::PushButton:
    case DialogControlKind::OwnerDrawButton: {
        auto *pButton = new QPushButton(text, this);
        // Enter belongs to the dialog (OnOK), never to a button.
        pButton->setAutoDefault(false);
        ConnectButton(pButton, ctl.nID);
        pWidget = pButton;
        break;
    }
    case DialogControlKind::AutoRadioButton: {
        auto *pRadio = new QRadioButton(text, this);
        pRadio->setAutoExclusive(false); // the template's groups decide, see BuildControls
        ConnectButton(pRadio, ctl.nID);
        pRadio->installEventFilter(this);
        pWidget = pRadio;
        break;
    }
    case DialogControlKind::GroupBox:
        pWidget = new QGroupBox(StripPrefix(text), this);
        pWidget->setFocusPolicy(Qt::NoFocus);
        break;
    case DialogControlKind::Label: {
        auto *pLabel = new QLabel((ctl.nStyle & SS_NOPREFIX) ? text : StripPrefix(text), this);
        pLabel->setTextFormat(Qt::PlainText);
        pLabel->setWordWrap(true);
        const bool bRight = (ctl.nStyle & SS_ALIGNMASK) == SS_RIGHT;
        pLabel->setAlignment((bRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        pWidget = pLabel;
        break;
    }
    case DialogControlKind::Edit: {
        auto *pEdit = new QLineEdit(text, this);
        pEdit->setFrame((ctl.nStyle & WS_BORDER) != 0);
        pWidget = pEdit;
        break;
    }
    case DialogControlKind::DropDownCombo: {
        auto *pCombo = new QComboBox(this);
        pCombo->setEditable(true);
        pCombo->setInsertPolicy(QComboBox::NoInsert); // typed text never joins the list
        pCombo->setCompleter(nullptr);
        pCombo->setMaxVisibleItems(30);
        QStringList items;
        for (const std::string &item : ctl.items)
            items << QString::fromStdString(item);
        if (ctl.nStyle & CBS_SORT)
            std::sort(items.begin(), items.end(), [](const QString &a, const QString &b) {
                return CComboBox::CompareListText(a, b) < 0;
            });
        pCombo->addItems(items);
        // No entry is current until the program picks one.
        pCombo->setCurrentIndex(-1);
        pCombo->setEditText(QString());
        // A long entry shows its beginning, as the original list's edit field does.
        connect(pCombo, &QComboBox::currentIndexChanged, pCombo,
                [pCombo](int) { pCombo->lineEdit()->setCursorPosition(0); });
        connect(pCombo, &QComboBox::activated, this,
                [this, nID = ctl.nID](int) { SendNotify(CBN_SELCHANGE, nID); });
        pCombo->lineEdit()->installEventFilter(this);
        pWidget = pCombo;
        break;
    }
    case DialogControlKind::Icon: {
        auto *pLabel = new QLabel(this);
        const int side = std::max(16, std::min(32, std::min(rc.width(), rc.height())));
        pLabel->setPixmap(QApplication::windowIcon().pixmap(side, side));
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        pWidget = pLabel;
        break;
    }
    case DialogControlKind::BlackRect: {
        auto *pFrame = new QWidget(this);
        pFrame->setAutoFillBackground(true);
        QPalette pal = pFrame->palette();
        pal.setColor(QPalette::Window, Qt::black);
        pFrame->setPalette(pal);
        pWidget = pFrame;
        break;
    }
    }
    pWidget->setFont(m_font);
    if (!(ctl.nStyle & WS_TABSTOP) && pWidget->focusPolicy() != Qt::NoFocus
        && ctl.kind != DialogControlKind::AutoRadioButton)
        pWidget->setFocusPolicy(Qt::ClickFocus);
    if (ctl.kind == DialogControlKind::DropDownCombo)
        rc.setHeight(std::min(rc.height(), pWidget->sizeHint().height()));
    pWidget->setGeometry(rc);
    ShrinkToFit(pWidget, rc.size());
    return pWidget;
}

void CDialog::BuildControls()
{
    DestroyWindow();
    m_font = TemplateFont(m_template);
    m_baseUnits = BaseUnits(m_font);
    setFont(m_font);
    setWindowTitle(QString::fromStdString(m_template.strCaption));
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    if (m_template.nStyle & WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (m_template.nStyle & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setFixedSize(MapDialogRect(QRect(0, 0, m_template.cx, m_template.cy)).size());

    QButtonGroup *pGroup = nullptr;
    std::vector<QWidget *> groupBoxes;
    for (const DialogControl &ctl : m_template.controls) {
        QWidget *pWidget = BuildControl(ctl);
        m_ownedControls.push_back(pWidget);
        if (ctl.nID != IDC_STATIC)
            m_controls[ctl.nID] = pWidget;
        if (ctl.nStyle & WS_GROUP)
            pGroup = nullptr;
        if (ctl.kind == DialogControlKind::GroupBox)
            groupBoxes.push_back(pWidget);
        if (ctl.kind == DialogControlKind::AutoRadioButton) {
            if (!pGroup) {
                pGroup = new QButtonGroup(this);
                m_buttonGroups.push_back(pGroup);
            }
            pGroup->addButton(qobject_cast<QAbstractButton *>(pWidget), ctl.nID);
        }
    }
    // A group box frames controls built before it: keep it beneath them.
    for (QWidget *pBox : groupBoxes)
        pBox->lower();
    m_bOpen = true;
    m_nResult = 0;
}

void CDialog::DestroyWindow()
{
    for (const QPointer<QWidget> &p : m_attachedControls) {
        if (p) {
            disconnect(p, nullptr, this, nullptr);
            p->hide();
        }
    }
    m_attachedControls.clear();
    for (QButtonGroup *pGroup : m_buttonGroups)
        delete pGroup;
    m_buttonGroups.clear();
    for (QWidget *pWidget : m_ownedControls)
        delete pWidget;
    m_ownedControls.clear();
    m_controls.clear();
    if (isVisible())
        hide();
    m_bOpen = false;
}

void CDialog::ReplaceControl(int nID, QWidget &control)
{
    auto it = m_controls.find(nID);
    if (it == m_controls.end())
        return;
    QWidget *pPlaceholder = it->second;
    control.setParent(this);
    control.setGeometry(pPlaceholder->geometry());
    control.setFont(m_font);
    if (auto *pButton = qobject_cast<QAbstractButton *>(&control)) {
        if (auto *pOld = qobject_cast<QAbstractButton *>(pPlaceholder);
            pOld && pButton->text().isEmpty())
            pButton->setText(pOld->text());
    }
    QWidget::setTabOrder(pPlaceholder, &control);
    ConnectButton(&control, nID);
    control.show();
    it->second = &control;
    m_attachedControls.emplace_back(&control);
    std::erase(m_ownedControls, pPlaceholder);
    delete pPlaceholder;
}

void CDialog::FocusFirstTabStop()
{
    for (size_t i = 0; i < m_template.controls.size() && i < m_ownedControls.size(); ++i) {
        const DialogControl &ctl = m_template.controls[i];
        if (!(ctl.nStyle & WS_TABSTOP))
            continue;
        QWidget *pWidget = ctl.nID != IDC_STATIC ? GetDlgItem(ctl.nID) : nullptr;
        if (!pWidget || !pWidget->isEnabled())
            continue;
        pWidget->setFocus(Qt::TabFocusReason);
        if (auto *pEdit = qobject_cast<QLineEdit *>(pWidget))
            pEdit->selectAll();
        return;
    }
}

void CDialog::PlaceWindow()
{
    QWidget *pOwner = m_pParentWnd ? m_pParentWnd->window() : AfxGetMainWnd();
    winId(); // the native window, to stack it above its owner
    if (pOwner && pOwner->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(pOwner->windowHandle());
    const QSize size = frameGeometry().size().expandedTo(this->size());
    QPoint topLeft;
    if ((m_template.nStyle & DS_CENTER) || (m_template.x == 0 && m_template.y == 0)) {
        const QRect area = pOwner && pOwner->isVisible()
            ? pOwner->frameGeometry()
            : (screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768));
        topLeft = area.center() - QPoint(size.width() / 2, size.height() / 2);
    } else {
        const QPoint origin = pOwner ? pOwner->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
        topLeft = origin + MapDialogRect(QRect(m_template.x, m_template.y, 0, 0)).topLeft();
    }
    if (screen()) {
        const QRect avail = screen()->availableGeometry();
        topLeft.setX(std::max(avail.left(), std::min(topLeft.x(), avail.right() - size.width())));
        topLeft.setY(std::max(avail.top(), std::min(topLeft.y(), avail.bottom() - size.height())));
    }
    move(topLeft);
}

bool CDialog::OpenControls()
{
    BuildControls();
    bool bFocusToFramework = true;
    if (!AfxGuard([&] { bFocusToFramework = OnInitDialog(); }))
        return false;
    if (bFocusToFramework && m_bOpen)
        FocusFirstTabStop();
    return true;
}

int CDialog::DoModal()
{
    if (!OpenControls()) {
        DestroyWindow();
        return -1;
    }
    if (m_bOpen) { // not ended during its initialisation
        PlaceWindow();
        setWindowModality(Qt::ApplicationModal);
        m_bModal = true;
        if (ModalHookSlot()) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    ModalHook hook = ModalHookSlot();
                    if (hook)
                        hook(*this);
                    if (m_bOpen)
                        EndDialog(IDCANCEL);
                },
                Qt::QueuedConnection);
        }
        exec();
        m_bModal = false;
    }
    const int nResult = m_nResult;
    DestroyWindow();
    return nResult;
}

bool CDialog::Create(bool bShow)
{
    if (!OpenControls())
        return false;
    if (bShow && m_bOpen)
        show();
    return true;
}

void CDialog::EndDialog(int nResult)
{
    m_nResult = nResult;
    if (!m_bOpen)
        return;
    m_bOpen = false;
    if (m_bModal)
        QDialog::done(nResult);
    else
        hide();
}

QWidget *CDialog::GetDlgItem(int nID) const
{
    auto it = m_controls.find(nID);
    return it == m_controls.end() ? nullptr : it->second;
}

void CDialog::SetDlgItemText(int nID, const QString &text)
{
    QWidget *pWidget = GetDlgItem(nID);
    if (auto *pEdit = qobject_cast<QLineEdit *>(pWidget))
        pEdit->setText(text);
    else if (auto *pLabel = qobject_cast<QLabel *>(pWidget))
        pLabel->setText(text);
}

QString CDialog::GetDlgItemText(int nID) const
{
    QWidget *pWidget = GetDlgItem(nID);
    if (auto *pEdit = qobject_cast<QLineEdit *>(pWidget))
        return pEdit->text();
    if (auto *pLabel = qobject_cast<QLabel *>(pWidget))
        return pLabel->text();
    return {};
}

void CDialog::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    // Unchecking every button of an exclusive group needs the group's exclusivity lifted.
    std::vector<QButtonGroup *> lifted;
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID) {
        auto *pButton = qobject_cast<QAbstractButton *>(GetDlgItem(nID));
        if (!pButton)
            continue;
        QButtonGroup *pGroup = pButton->group();
        if (pGroup && pGroup->exclusive()) {
            pGroup->setExclusive(false);
            lifted.push_back(pGroup);
        }
        pButton->setChecked(nID == nIDCheckButton);
    }
    for (QButtonGroup *pGroup : lifted)
        pGroup->setExclusive(true);
}

std::vector<int> CDialog::RadioGroup(int nID) const
{
    const auto *pButton = qobject_cast<const QAbstractButton *>(GetDlgItem(nID));
    const QButtonGroup *pGroup = pButton ? pButton->group() : nullptr;
    std::vector<int> ids;
    if (pGroup) {
        for (QAbstractButton *pMember : pGroup->buttons())
            ids.push_back(pGroup->id(pMember));
    }
    return ids;
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException &) {
        return false;
    }
    return true;
}

void CDialog::Invalidate(bool)
{
    update();
}

bool CDialog::SendNotify(int nCode, int nID)
{
    bool bHandled = false;
    AfxGuard([&] {
        bHandled = OnCommand(nCode, nID);
        if (!bHandled && nCode == BN_CLICKED && (nID == IDOK || nID == IDCANCEL)) {
            bHandled = true;
            if (nID == IDOK)
                OnOK();
            else
                OnCancel();
        }
    });
    return bHandled;
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange *) { }

bool CDialog::OnCommand(int, int)
{
    return false;
}

void CDialog::keyPressEvent(QKeyEvent *event)
{
    if (IsReturnKey(event)) {
        event->accept();
        AfxGuard([this] { OnOK(); });
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        AfxGuard([this] { OnCancel(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

void CDialog::closeEvent(QCloseEvent *event)
{
    // The close box is the dialog's cancel; EndDialog does the hiding.
    event->ignore();
    if (m_bOpen)
        AfxGuard([this] { OnCancel(); });
}

void CDialog::reject()
{
    if (m_bOpen)
        AfxGuard([this] { OnCancel(); });
}

void CDialog::accept()
{
    if (m_bOpen)
        AfxGuard([this] { OnOK(); });
}

bool CDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        // Every radio button is in its group under its control id.
        auto *pRadio = qobject_cast<QRadioButton *>(watched);
        if (pRadio && pRadio->group() && SendNotify(BN_DOUBLECLICKED, pRadio->group()->id(pRadio)))
            return true;
    }
    // Enter in a combo box's edit field is the dialog's, as anywhere else in it.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit *>(watched)
        && qobject_cast<QComboBox *>(static_cast<QWidget *>(watched)->parentWidget())) {
        auto *pKey = static_cast<QKeyEvent *>(event);
        if (IsReturnKey(pKey)) {
            AfxGuard([this] { OnOK(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CDialog::OnLButtonUp(Qt::KeyboardModifiers, const QPoint &) { }

void CDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint point = event->position().toPoint();
        const Qt::KeyboardModifiers flags = event->modifiers();
        AfxGuard([&] { OnLButtonUp(flags, point); });
    }
    QDialog::mouseReleaseEvent(event);
}
