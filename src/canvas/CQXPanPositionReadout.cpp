#include "canvas/CQXPanPositionReadout.h"

#include "canvas/CQXPanDesignDlg.h"
#include "document/QXPanArrange.h"
#include "document/ScreenScale.h"
#include "refdata/CQXPanItemState.h"

namespace {

// Long enough to read a sentence.
constexpr int kNoteMilliseconds = 8000;

QString RectText(const QXPanRect& r)
{
    return QStringLiteral("X1 %1 Y1 %2 X2 %3 Y2 %4, %5 \u00D7 %6")
        .arg(r.left)
        .arg(r.top)
        .arg(r.right)
        .arg(r.bottom)
        .arg(r.Width())
        .arg(r.Height());
}

// What a key or table is: its type, the function code of a key, the number of both.
QString KeyIdentity(const CQXPanItemState& objDlg, const CQXPanKeyObj& key)
{
    const int type = QXPanObj::ObjectTypeOf(key);
    if (type == QXPanObj::TypeTableRect || type == QXPanObj::TypeTableRound)
        return QStringLiteral("%1 no. %2").arg(objDlg.TypeName(type)).arg(key.GetNumber());
    return QStringLiteral("%1 code %2 no. %3")
        .arg(objDlg.TypeName(type))
        .arg(key.TypeCode(), 3, 10, QLatin1Char('0'))
        .arg(key.GetNumber());
}

// The register rectangle an object would have with the display rectangle frame: the record's own
// while the frame sits on it, else what the release will store.
QXPanRect RegisterRectAt(CQXPanKeyObj key, const QXPanRect& frame)
{
    key.SetDisplayRect(frame);
    return key.RegisterRect();
}
QXPanRect RegisterRectAt(CQXPanBmpObj bitmap, const QXPanRect& frame)
{
    bitmap.SetDisplayRect(frame);
    return bitmap.m_rcRegister;
}

} // namespace

CQXPanPositionReadout::CQXPanPositionReadout(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("positionReadout"));
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_noteTimer.setSingleShot(true);
    m_noteTimer.setInterval(kNoteMilliseconds);
    connect(&m_noteTimer, &QTimer::timeout, this, [this] {
        m_noteText.clear();
        ShowTexts();
    });
}

CQXPanPositionReadout::~CQXPanPositionReadout() = default;

void CQXPanPositionReadout::Attach(CQXPanDesignDlg* design)
{
    if (m_design)
        disconnect(m_design, nullptr, this, nullptr);
    m_design = design;
    if (!m_design)
        return;
    connect(m_design, &CQXPanDesignDlg::pointerMoved, this, &CQXPanPositionReadout::SetPointer);
    connect(m_design, &CQXPanDesignDlg::pointerLeft, this, &CQXPanPositionReadout::ClearPointer);
    connect(m_design, &CQXPanDesignDlg::selectionChanged, this,
            &CQXPanPositionReadout::RefreshObject);
    RefreshObject();
}

void CQXPanPositionReadout::SetPointer(QPoint designPt)
{
    const ScreenScale scale = ScreenScale::Standard();
    m_pointerText = QStringLiteral("Pointer %1, %2")
                        .arg(scale.DesignToRegisterX(designPt.x()))
                        .arg(scale.DesignToRegisterY(designPt.y()));
    ShowTexts();
}

void CQXPanPositionReadout::ClearPointer()
{
    m_pointerText.clear();
    ShowTexts();
}

void CQXPanPositionReadout::RefreshObject()
{
    m_objectText.clear();
    const CQXPanDesignDlg* design = m_design;
    const CQXPanItemState* objDlg = design ? design->m_pObjDlg : nullptr;
    const CQXPanSelRect* selRect = design ? &design->m_SelRect : nullptr;
    const QList<int> selection = design ? design->Selection() : QList<int>();
    if (selection.size() > 1) {
        // Several objects: how many, and the register rectangle around them all.
        const QXPanRect box = QXPanArrange::Bounds(design->SelectionRects());
        m_objectText = QStringLiteral("%1 selected: ").arg(selection.size()) + RectText(box);
    } else if (objDlg && selRect->isVisible() && !selRect->m_Parts.isEmpty()) {
        const CQXPanSelRect& frame = *selRect;
        // The frame is where the object is now, also in the middle of a drag.
        const QXPanRect& part = frame.m_Parts.constFirst().m_rect;
        const QXPanRect at{part.left + frame.x(), part.top + frame.y(), part.right + frame.x(),
                           part.bottom + frame.y()};
        const int i = frame.m_nObjIndex;
        const bool keys = objDlg->m_nObjType > QXPanObj::TypePlaceBitmap;
        if (keys && i >= 0 && i < design->m_KeyObjs.size()) {
            const CQXPanKeyObj& key = design->m_KeyObjs[i];
            m_objectText = KeyIdentity(*objDlg, key) + QStringLiteral(": ") +
                           RectText(RegisterRectAt(key, at));
        } else if (!keys && i >= 0 && i < design->m_BmpObjs.size()) {
            const CQXPanBmpObj& bitmap = design->m_BmpObjs[i];
            m_objectText = QStringLiteral("%1 %2: ").arg(
                               objDlg->TypeName(QXPanObj::TypePlaceBitmap), bitmap.m_strFileName) +
                           RectText(RegisterRectAt(bitmap, at));
        } else if (i < 0) {
            // A rectangle being drawn: what the release would create.
            const int type = objDlg->m_nObjType;
            const QXPanRect r =
                keys ? RegisterRectAt(CQXPanKeyObj(), at) : RegisterRectAt(CQXPanBmpObj(), at);
            m_objectText = QStringLiteral("new %1: ").arg(objDlg->TypeName(type)) + RectText(r);
        }
    }
    ShowTexts();
}

void CQXPanPositionReadout::ShowNote(const QString& text)
{
    m_noteText = text;
    m_noteTimer.start();
    ShowTexts();
}

void CQXPanPositionReadout::ShowTexts()
{
    if (!m_noteText.isEmpty()) {
        setText(m_noteText);
        return;
    }
    if (m_pointerText.isEmpty() || m_objectText.isEmpty())
        setText(m_pointerText + m_objectText);
    else
        setText(m_pointerText + QStringLiteral("    ") + m_objectText);
}
