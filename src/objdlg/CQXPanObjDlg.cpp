#include "objdlg/CQXPanObjDlg.h"

#include "canvas/CQXPanSelRect.h"
#include "image/CDibImage.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QColor>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

/// Size of the dialog in dialog units.
constexpr int kDialogWidthDu = 224;
constexpr int kDialogHeightDu = 254;
/// Characters of one text line of the register record.
constexpr int kTextLineLength = 20;

const QString kBackgroundLabel = QStringLiteral("Background");
const QString kTextLabel = QStringLiteral("Text");

QLabel* MakeLabel(QWidget* parent, const QString& text, const QString& id = QString())
{
    auto* label = new QLabel(text, parent);
    if (!id.isEmpty())
        label->setObjectName(id);
    return label;
}

} // namespace

CQXPanObjDlg::CQXPanObjDlg(QWidget* parent) : QDialog(parent)
{
    BuildControls();
}

CQXPanObjDlg::~CQXPanObjDlg() = default;

void CQXPanObjDlg::BuildControls()
{
    setWindowTitle(QStringLiteral("Object Properties"));
    setModal(true);

    const DialogUnits du(font());
    setFixedSize(du.X(kDialogWidthDu), du.Y(kDialogHeightDu));

    // Edits and combo boxes are at least as high as the style wants them.
    auto place = [&du](QWidget* w, int x, int y, int width, int height) {
        QRect r = du.Rect(x, y, width, height);
        const int wanted = w->sizeHint().height();
        if (qobject_cast<QLabel*>(w) == nullptr && r.height() < wanted) {
            r.moveTop(r.top() - (wanted - r.height()) / 2);
            r.setHeight(wanted);
        }
        w->setGeometry(r);
    };
    auto makeEdit = [this](const QString& id) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(id);
        return edit;
    };
    auto makeCombo = [this](const QString& id) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(id);
        return combo;
    };

    m_gbPosition = new QGroupBox(QStringLiteral("Position"), this);
    m_gbPosition->setObjectName(QStringLiteral("1014"));
    place(m_gbPosition, 7, 3, 210, 52);

    // Rows of the position frame: label, edit, size label, size, label, edit.
    struct PositionRow
    {
        const char* first;
        const char* size;
        const char* second;
        int y;
    };
    const PositionRow rows[2] = {{"X1(&L)", "Width", "X2(&R)", 17},
                                 {"Y1(&T)", "Height", "Y2(&B)", 36}};
    m_edLeft = makeEdit(QStringLiteral("1000"));
    m_edRight = makeEdit(QStringLiteral("1003"));
    m_edTop = makeEdit(QStringLiteral("1002"));
    m_edBottom = makeEdit(QStringLiteral("1004"));
    m_stWidth = MakeLabel(this, QStringLiteral("---"), QStringLiteral("1030"));
    m_stHeight = MakeLabel(this, QStringLiteral("---"), QStringLiteral("1031"));
    QLineEdit* firstEdits[2] = {m_edLeft, m_edTop};
    QLineEdit* secondEdits[2] = {m_edRight, m_edBottom};
    QLabel* sizes[2] = {m_stWidth, m_stHeight};
    for (int i = 0; i < 2; ++i) {
        const PositionRow& row = rows[i];
        QLabel* first = MakeLabel(this, QString::fromLatin1(row.first));
        first->setBuddy(firstEdits[i]);
        place(first, 14, row.y + 2, 24, 8);
        place(firstEdits[i], 40, row.y, 36, 12);
        place(MakeLabel(this, QString::fromLatin1(row.size)), 84, row.y + 2, 30, 8);
        place(sizes[i], 116, row.y + 2, 24, 8);
        QLabel* second = MakeLabel(this, QString::fromLatin1(row.second));
        second->setBuddy(secondEdits[i]);
        place(second, 146, row.y + 2, 24, 8);
        place(secondEdits[i], 172, row.y, 38, 12);
    }

    constexpr int kLabelX = 7;
    constexpr int kLabelW = 86;
    constexpr int kFieldX = 95;
    constexpr int kFieldW = 122;
    constexpr int kShortW = 60;
    // A label left of its field, the label 2 units lower so both texts share a baseline.
    const auto placeRow = [&](QLabel* label, QWidget* field, int y, int fieldW) {
        label->setBuddy(field);
        place(label, kLabelX, y + 2, kLabelW, 8);
        place(field, kFieldX, y, fieldW, 12);
    };

    m_cbType = makeCombo(QStringLiteral("1005"));
    QLabel* typeLabel = MakeLabel(this, QStringLiteral("Object Type:(&O)"));
    placeRow(typeLabel, m_cbType, 62, kFieldW);

    m_edTableNo = makeEdit(QStringLiteral("1010"));
    m_lbTableNo = MakeLabel(this, QStringLiteral("Table Number:(&P)"), QStringLiteral("1013"));
    placeRow(m_lbTableNo, m_edTableNo, 79, kShortW);

    m_edLine1 = makeEdit(QStringLiteral("1012"));
    m_lbLine1 = MakeLabel(this, QStringLiteral("Description:(&D)"), QStringLiteral("1015"));
    placeRow(m_lbLine1, m_edLine1, 96, kFieldW);

    m_edLine2 = makeEdit(QStringLiteral("1011"));
    m_lbLine2 = MakeLabel(this, QStringLiteral("Second line:(&S)"), QStringLiteral("1016"));
    placeRow(m_lbLine2, m_edLine2, 113, kFieldW);

    m_Preview = new CQXPanSelRect(this);
    m_Preview->setObjectName(QStringLiteral("1001"));
    place(m_Preview, 7, 131, 210, 40);

    m_cbRecordNo = makeCombo(QStringLiteral("1009"));
    m_lbRecordNo = MakeLabel(this, QStringLiteral("Record No.(&N)"), QStringLiteral("1017"));
    placeRow(m_lbRecordNo, m_cbRecordNo, 179, kShortW);

    m_cbFunction = makeCombo(QStringLiteral("1008"));
    m_lbFunction = MakeLabel(this, QStringLiteral("Function(&F)"), QStringLiteral("1018"));
    placeRow(m_lbFunction, m_cbFunction, 196, kShortW);

    m_cbRegDesc = makeCombo(QStringLiteral("1007"));
    m_lbRegDesc =
        MakeLabel(this, QStringLiteral("Register Description(&C)"), QStringLiteral("1019"));
    placeRow(m_lbRegDesc, m_cbRegDesc, 213, kFieldW);

    m_btnOk = new QPushButton(QStringLiteral("OK"), this);
    m_btnOk->setObjectName(QStringLiteral("1029"));
    place(m_btnOk, 111, 234, 50, 14);
    m_btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_btnCancel->setObjectName(QStringLiteral("2"));
    place(m_btnCancel, 167, 234, 50, 14);
    // Enter must close nothing: the only default button is hidden and its command ignored.
    m_btnOk->setAutoDefault(false);
    m_btnCancel->setAutoDefault(false);
    m_btnDefault = new QPushButton(QStringLiteral("OK"), this);
    m_btnDefault->setObjectName(QStringLiteral("1"));
    m_btnDefault->setAutoDefault(false);
    m_btnDefault->setDefault(true);
    m_btnDefault->hide();

    // Tab order follows the template's order of controls.
    QWidget* order[] = {m_edLeft,    m_edRight, m_edTop,    m_edBottom,   m_cbType,
                        m_edTableNo, m_edLine1, m_edLine2,  m_cbRecordNo, m_cbFunction,
                        m_cbRegDesc, m_btnOk,   m_btnCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Fields are checked when they are left or Enter is pressed, and on OK; checking every
    // keystroke would correct a number before it is typed out.
    connect(m_edLeft, &QLineEdit::editingFinished, this, [this] { CheckPosition(true); });
    connect(m_edRight, &QLineEdit::editingFinished, this, [this] { CheckPosition(true); });
    connect(m_edTop, &QLineEdit::editingFinished, this, [this] { CheckPosition(false); });
    connect(m_edBottom, &QLineEdit::editingFinished, this, [this] { CheckPosition(false); });
    connect(m_edTableNo, &QLineEdit::editingFinished, this, [this] { CheckTableNumber(); });
    // Cancel leaves without checking the field being typed in.
    m_btnCancel->setFocusPolicy(Qt::TabFocus);
    // Only a real change of type lays the dialog out anew; OnInitDialog fills the box silently.
    connect(m_cbType, &QComboBox::currentIndexChanged, this, [this] { ApplyTypeLayout(false); });
    for (QComboBox* box : {m_cbRegDesc, m_cbFunction, m_cbRecordNo}) {
        connect(box, &QComboBox::activated, this,
                [this, box](int index) { OnLinkedSelection(box, index); });
    }
    connect(m_btnOk, &QPushButton::clicked, this, [this] { OnAccept(); });
    connect(m_btnCancel, &QPushButton::clicked, this, [this] { reject(); });
}

void CQXPanObjDlg::SetApplication(const CQXPanRefFolders& folders, UserInteraction* pUi,
                                  const QXPanRect& rcScreen)
{
    SetFolders(folders);
    m_pUi = pUi;
    m_rcScreen = rcScreen;
}

int CQXPanObjDlg::LoadReferenceData(CQXPanMainDlg* pMainDlg)
{
    if (!m_bHasFolders)
        return 0;
    m_pMainDlg = pMainDlg;
    return CQXPanItemState::LoadReferenceData();
}

void CQXPanObjDlg::ShowObjectType(int type, bool refill)
{
    emit ObjectTypeShown(type, refill);
}

void CQXPanObjDlg::ShowItemPosition(int position)
{
    emit ItemPositionShown(position);
}

void CQXPanObjDlg::OnInitDialog()
{
    m_bClosing = false;
    if (const CQXPanKeyObj* edited = EditObject()) {
        const QXPanRect r = edited->RegisterRect();
        m_edLeft->setText(QString::number(r.left));
        m_edTop->setText(QString::number(r.top));
        m_edRight->setText(QString::number(r.right));
        m_edBottom->setText(QString::number(r.bottom));
        m_stWidth->setText(QString::number(r.right - r.left));
        m_stHeight->setText(QString::number(r.bottom - r.top));
    }
    m_edLine1->setMaxLength(kTextLineLength);
    m_edLine2->setMaxLength(kTextLineLength);

    {
        const QSignalBlocker blocker(m_cbType);
        m_cbType->clear();
        for (int t = TypeTableRect; t < kTypeCount; ++t)
            m_cbType->addItem(m_pszTypeName[t], t);
        m_cbType->setCurrentIndex(m_cbType->findData(m_nObjType));
    }
    ApplyTypeLayout(true);
}

int CQXPanObjDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CQXPanObjDlg::reject()
{
    done(kIdCancel);
}

void CQXPanObjDlg::done(int result)
{
    // The focused field loses its focus as the dialog closes: that is no leaving to check.
    m_bClosing = true;
    QDialog::done(result);
}

void CQXPanObjDlg::SetSwatch(int part, QXPanColor colour)
{
    m_Preview->SetPartColour(colour, colour, part);
    m_Preview->SetPartText(part, part == 0 ? kBackgroundLabel : kTextLabel, ContrastColour(colour));
}

void CQXPanObjDlg::ApplyTypeLayout(bool bFromRecord)
{
    if (m_Preview->m_Parts.isEmpty())
        m_Preview->Setup(2, true, 0);
    // A change of type keeps what the user typed and chose; only opening reads the record.
    const CQXPanKeyObj* edited = bFromRecord ? EditObject() : nullptr;
    if (edited) {
        m_nTableNo = edited->GetNumber();
        if (m_nTableNo == 0 || m_nTableNo > kMaxTableNo)
            m_nTableNo = 1;
        SetSwatch(0, edited->m_Cell.m_clrFill);
        SetSwatch(1, edited->m_Cell.m_clrLabel);
        m_edLine1->setText(edited->GetText1());
        m_edLine2->setText(edited->GetText2());
    }

    const QVariant data = m_cbType->currentData();
    const int t = data.isValid() ? data.toInt() : -1;
    m_cbFunction->clear();
    m_cbRegDesc->clear();
    m_cbRecordNo->clear();

    const bool table = t <= TypeTableRound;
    const bool freeFunc = t >= TypeFreeFuncRect;
    m_lbTableNo->setVisible(table);
    m_edTableNo->setVisible(table);
    m_lbLine1->setText(table ? QStringLiteral("Table Name:(&N)")
                             : QStringLiteral("Description:(&D)"));
    m_lbLine2->setVisible(!table);
    m_edLine2->setVisible(!table);
    m_lbRecordNo->setVisible(!table);
    m_cbRecordNo->setVisible(!table);
    m_cbRecordNo->setEnabled(freeFunc);
    m_lbFunction->setVisible(true);
    m_cbFunction->setVisible(true);
    m_cbFunction->setEnabled(!table);
    m_lbRegDesc->setVisible(!table);
    m_cbRegDesc->setVisible(!table);
    m_Preview->setVisible(!table);

    if (table) {
        m_cbFunction->addItem(QStringLiteral("93"));
        m_cbFunction->setCurrentIndex(0);
    } else {
        const CQXPanRefList& list = freeFunc ? m_FreeFuncList : m_SysKeyList;
        const int sel = m_nSel[t >> 1];
        int selected = -1;
        for (int i = 1; i < int(list.size()); ++i) {
            const CQXPanRefItem& row = list[size_t(i)];
            m_cbFunction->addItem(row.m_strCol3, i);
            m_cbRegDesc->addItem(row.m_strCol2, i);
            if (freeFunc)
                m_cbRecordNo->addItem(row.m_strCol1, i);
            if (i == sel)
                selected = i - 1;
        }
        if (freeFunc && sel < 1) {
            selected = m_cbFunction->count() > 0 ? 0 : -1;
            if (list.size() > 1 && (bFromRecord || m_edLine1->text().isEmpty())) {
                m_edLine1->setText(list[1].m_strCol2);
                m_edLine2->clear();
            }
        }
        // Filling a box selects its first item; only a matching row may stay selected.
        m_cbFunction->setCurrentIndex(selected);
        m_cbRegDesc->setCurrentIndex(selected);
        m_cbRecordNo->setCurrentIndex(freeFunc ? selected : -1);
    }
    PushTableNumber();
}

void CQXPanObjDlg::CheckPosition(bool horizontal)
{
    if (m_bClosing)
        return;
    QLineEdit* edit1 = horizontal ? m_edLeft : m_edTop;
    QLineEdit* edit2 = horizontal ? m_edRight : m_edBottom;
    QLabel* size = horizontal ? m_stWidth : m_stHeight;
    const qint64 extent = horizontal ? m_rcScreen.Width() : m_rcScreen.Height();

    // Rewritten edits are checked here and now, not again through their own change signal.
    const int typed1 = LeadingInt(edit1->text());
    qint64 v1 = std::max(typed1, 0);
    if (v1 + kMinObjectSize >= extent)
        v1 = extent - kMinObjectSize - 1;
    if (v1 != typed1) {
        const QSignalBlocker blocker(edit1);
        edit1->setText(QString::number(v1));
    }
    const int typed2 = LeadingInt(edit2->text());
    qint64 v2 = typed2;
    if (v2 < v1 + kMinObjectSize)
        v2 = v1 + kMinObjectSize;
    if (v2 >= extent)
        v2 = extent - 1;
    if (v2 != typed2) {
        const QSignalBlocker blocker(edit2);
        edit2->setText(QString::number(v2));
    }
    size->setText(QString::number(v2 - v1));
}

bool CQXPanObjDlg::PullTableNumber()
{
    const QString text = m_edTableNo->text().trimmed();
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok) {
        if (m_pUi)
            m_pUi->MessageBox(QStringLiteral("The table number must be a whole number."));
        m_edTableNo->setFocus();
        return false;
    }
    m_nTableNo = int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
    if (value < 1 || value > kMaxTableNo) {
        if (m_pUi)
            m_pUi->MessageBox(
                QStringLiteral("The table number must be from 1 to %1.").arg(kMaxTableNo));
        m_edTableNo->setFocus();
        return false;
    }
    return true;
}

void CQXPanObjDlg::PushTableNumber()
{
    const QString text = QString::number(m_nTableNo);
    if (m_edTableNo->text() == text)
        return;
    m_bPushingTableNo = true;
    m_edTableNo->setText(text);
    m_bPushingTableNo = false;
}

void CQXPanObjDlg::CheckTableNumber()
{
    if (m_bPushingTableNo || m_bClosing)
        return;
    PullTableNumber();
    m_nTableNo = std::clamp(m_nTableNo, 1, kMaxTableNo);
    PushTableNumber();
}

void CQXPanObjDlg::OnLinkedSelection(QComboBox* pChanged, int index)
{
    for (QComboBox* box : {m_cbRegDesc, m_cbFunction, m_cbRecordNo}) {
        if (box != pChanged)
            box->setCurrentIndex(index < box->count() ? index : -1);
    }
    const QVariant data = pChanged->itemData(index);
    const CQXPanRefList* list = ListOfType(m_cbType->currentData().toInt());
    if (!data.isValid() || !list)
        return;
    const int row = data.toInt();
    if (row < 0 || row >= int(list->size()))
        return;
    m_edLine1->setText((*list)[size_t(row)].m_strCol2);
    m_edLine2->clear();
}

void CQXPanObjDlg::ChooseSwatchColour(int part)
{
    if (!m_pUi)
        return;
    const QXPanColor current = m_Preview->GetPartColour(part, false);
    const std::optional<QColor> chosen = m_pUi->ChooseColor(
        QColor(int(current & 0xFF), int((current >> 8) & 0xFF), int((current >> 16) & 0xFF)));
    if (!chosen)
        return;
    SetSwatch(part, QXPanRgb(chosen->red(), chosen->green(), chosen->blue()));
}

void CQXPanObjDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_Preview && m_Preview->isVisible()) {
        const QPoint pt = event->position().toPoint();
        if (m_Preview->BeginTrack(&pt, 0) == CQXPanSelRect::HandleMove)
            ChooseSwatchColour(0);
        if (m_Preview->BeginTrack(&pt, 1) == CQXPanSelRect::HandleMove)
            ChooseSwatchColour(1);
    }
    QDialog::mousePressEvent(event);
}

void CQXPanObjDlg::OnAccept()
{
    const int t = m_cbType->currentData().toInt();
    // What is being typed counts as left: checked as on leaving the field.
    CheckPosition(true);
    CheckPosition(false);
    if (t <= TypeTableRound)
        CheckTableNumber();
    if (CQXPanKeyObj* edited = EditObject()) {
        CQXPanKeyObj& key = *edited;
        key.SetShape(quint8((t & 1) + 1));
        key.SetRegisterRect(LeadingInt(m_edLeft->text()), LeadingInt(m_edTop->text()),
                            LeadingInt(m_edRight->text()), LeadingInt(m_edBottom->text()));
        key.SetText1(m_edLine1->text());
        if (t <= TypeTableRound) {
            // The check above has put a valid number into the edit.
            key.SetNumber(quint32(std::clamp(m_nTableNo, 0, kMaxTableNo)));
            key.SetTypeCode(kQXPanTableCode);
            // A table always shows grey with black text, as it does when read back.
            key.SetFillColour(kQXPanTableFill, false);
            key.SetTextColour(0x000000u, false);
        } else {
            key.SetFillColour(m_Preview->GetPartColour(0, false), true);
            key.SetTextColour(m_Preview->GetPartColour(1, false), true);
            key.SetText2(m_edLine2->text());
            if (m_cbFunction->currentIndex() < 0) {
                // The fields written so far keep their new values; the dialog stays open.
                if (m_pUi)
                    m_pUi->MessageBox(QStringLiteral("Null function"));
                return;
            }
            const CQXPanRefList* list = ListOfType(t);
            const int row = m_cbFunction->currentData().toInt();
            if (list && row >= 0 && row < int(list->size())) {
                const CQXPanRefItem& item = (*list)[size_t(row)];
                const int number = t >= TypeFreeFuncRect ? LeadingInt(item.m_strCol1) : 0;
                key.SetNumber(quint32(std::max(0, number)));
                key.SetTypeCode(quint16(LeadingInt(item.m_strCol3)));
            }
        }
    }
    done(kIdOk);
}
