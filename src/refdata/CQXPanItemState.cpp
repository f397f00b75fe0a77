#include "refdata/CQXPanItemState.h"

#include "image/CDibImage.h"
#include "refdata/CQXPanRefLists.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace {

/// Characters of one text line of the register record.
constexpr int kTextLineLength = 20;

} // namespace

CQXPanItemState::CQXPanItemState()
{
    for (int i = 0; i < kTypeCount; ++i)
        m_pszTypeName[i] = QXPanObj::TypeName(i);
}

CQXPanItemState::~CQXPanItemState() = default;

void CQXPanItemState::SetFolders(const CQXPanRefFolders& folders)
{
    m_folders = folders;
    m_bHasFolders = true;
}

void CQXPanItemState::ShowObjectType(int, bool) {}

void CQXPanItemState::ShowItemPosition(int) {}

int CQXPanItemState::LeadingInt(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            value = qint64(std::numeric_limits<int>::max()) + 1;
    }
    if (negative)
        value = -value;
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

namespace {

CQXPanRefList ToItems(const QList<CQXPanRefRow>& rows)
{
    CQXPanRefList items;
    items.reserve(size_t(rows.size()));
    for (const CQXPanRefRow& row : rows)
        items.emplace_back(row);
    return items;
}

} // namespace

int CQXPanItemState::LoadReferenceData()
{
    if (!m_bHasFolders)
        return 0;

    CQXPanRefLists lists(m_folders);
    lists.LoadReferenceData();
    m_BgList = ToItems(lists.m_BgList);
    m_BmpList = ToItems(lists.m_BmpList);
    m_TableList = ToItems(lists.m_TableList);
    m_SysKeyList = ToItems(lists.m_SysKeyList);
    m_FreeFuncList = ToItems(lists.m_FreeFuncList);

    m_KeyClip = CQXPanKeyObj();
    m_BmpClip = CQXPanBmpObj();
    return 1;
}

void CQXPanItemState::ResetHeaderRows()
{
    const CQXPanRefLists empty(m_folders);
    if (m_BgList.empty())
        m_BgList = ToItems(empty.m_BgList);
    if (m_BmpList.empty())
        m_BmpList = ToItems(empty.m_BmpList);
}

void CQXPanItemState::ListBitmaps(int which)
{
    if (!m_bHasFolders)
        return;
    ResetHeaderRows();
    CQXPanRefLists lists(m_folders);
    lists.ListBitmaps(which);
    if (which < 1) {
        m_BgList.resize(1);
        for (qsizetype i = 1; i < lists.m_BgList.size(); ++i)
            m_BgList.emplace_back(lists.m_BgList[i]);
    }
    if (which == -1 || which == 1) {
        m_BmpList.resize(1);
        for (qsizetype i = 1; i < lists.m_BmpList.size(); ++i)
            m_BmpList.emplace_back(lists.m_BmpList[i]);
    }
}

void CQXPanItemState::RefreshBitmapLists(int which)
{
    // Cutting a list releases its rows' images; the callers rebuild what pointed at them.
    if (which < 1 && m_BgList.size() > 1)
        m_BgList.resize(1);
    if ((which == -1 || which == 1) && m_BmpList.size() > 1)
        m_BmpList.resize(1);
    ListBitmaps(which);
}

CQXPanRefList* CQXPanItemState::ListOfPair(int pair)
{
    switch (pair) {
    case 0:
        return &m_BmpList;
    case 1:
        return &m_TableList;
    case 2:
        return &m_SysKeyList;
    case 3:
        return &m_FreeFuncList;
    default:
        return nullptr;
    }
}

CQXPanRefList* CQXPanItemState::ListOfType(int type)
{
    if (type == TypeBackground)
        return &m_BgList;
    if (type < 0 || type >= kTypeCount)
        return nullptr;
    return ListOfPair(type >> 1);
}

QString CQXPanItemState::TypeName(int type) const
{
    return type >= 0 && type < kTypeCount ? m_pszTypeName[type] : QString();
}

void CQXPanItemState::SetKeyObjects(QList<CQXPanKeyObj>* pKeyObjs)
{
    m_pKeyObjs = pKeyObjs;
    m_nEditIndex = -1;
}

void CQXPanItemState::KeyObjRemoved(qsizetype index)
{
    if (index == m_nEditIndex)
        m_nEditIndex = -1;
    else if (index >= 0 && index < m_nEditIndex)
        --m_nEditIndex;
}

qsizetype CQXPanItemState::EditIndex() const
{
    return m_pKeyObjs && m_nEditIndex < m_pKeyObjs->size() ? m_nEditIndex : -1;
}

CQXPanKeyObj* CQXPanItemState::EditObject()
{
    if (m_nEditIndex < 0)
        return m_pEditObj;
    const qsizetype i = EditIndex();
    return i >= 0 ? &(*m_pKeyObjs)[i] : nullptr;
}

void CQXPanItemState::SetEditObject(CQXPanKeyObj* pKey)
{
    m_pEditObj = pKey;
    m_nEditIndex = -1;
    if (pKey && m_pKeyObjs) {
        // std::less orders pointers into different arrays too.
        const std::less<const CQXPanKeyObj*> before;
        const CQXPanKeyObj* first = m_pKeyObjs->constData();
        if (!before(pKey, first) && before(pKey, first + m_pKeyObjs->size())) {
            m_nEditIndex = pKey - first;
            m_pEditObj = nullptr;
        }
    }
    if (!pKey)
        return;
    const int t = ObjectTypeOf(*pKey);
    const bool showInMain = m_nMode >= ModeIdle && HasMainDialog();
    if (showInMain && t != m_nObjType)
        ShowObjectType(t, (t >> 1) != (m_nObjType >> 1));
    m_nObjType = t;

    const int code = pKey->TypeCode();
    if (t == TypeSysKeyRect || t == TypeSysKeyRound) {
        for (int r = int(m_SysKeyList.size()) - 1; r >= 0; --r) {
            if (LeadingInt(m_SysKeyList[size_t(r)].m_strCol3) == code) {
                m_nSel[2] = r;
                break;
            }
        }
    } else if (t == TypeFreeFuncRect || t == TypeFreeFuncRound) {
        m_nSel[3] = -1;
        const int r = pKey->GetNumber();
        const int n = int(m_FreeFuncList.size());
        if (r < n) {
            m_nSel[3] = r;
            if (LeadingInt(m_FreeFuncList[size_t(r)].m_strCol3) != code) {
                // The record number points elsewhere: the first row with the key's code wins.
                for (int i = n - 1; i >= 0; --i) {
                    if (LeadingInt(m_FreeFuncList[size_t(i)].m_strCol3) == code)
                        m_nSel[3] = i;
                }
            }
        }
    } else {
        return;
    }

    if (showInMain) {
        int& sel = m_nSel[t >> 1];
        if (sel >= 0) {
            ShowItemPosition(sel - 1);
        } else if (const CQXPanRefList* list = ListOfType(t); list && list->size() > 1) {
            sel = 0;
            ShowItemPosition(0);
        }
    }
}

void CQXPanItemState::SelectRow(int row)
{
    if (m_nObjType < TypePlaceBitmap || m_nObjType >= kTypeCount)
        return;
    const CQXPanRefList* list = ListOfType(m_nObjType);
    if (row <= int(list->size()) - 1)
        m_nSel[m_nObjType >> 1] = row;
}

void CQXPanItemState::SelectBitmapObject(const CQXPanBmpObj& bitmap)
{
    for (int r = int(m_BmpList.size()) - 1; r >= 0; --r) {
        if (bitmap.m_pImage && m_BmpList[size_t(r)].Image() == bitmap.m_pImage) {
            m_nSel[0] = r;
            break;
        }
    }
    if (m_nObjType != TypePlaceBitmap) {
        ShowObjectType(TypePlaceBitmap, true);
        m_nObjType = TypePlaceBitmap;
    }
}

void CQXPanItemState::ApplyItemToKey(CQXPanKeyObj& key)
{
    const int t = m_nObjType;
    if (t < TypeTableRect || t >= kTypeCount)
        return;
    const quint8 shape = quint8((t & 1) + 1);
    const int sel = m_nSel[t >> 1];

    if (t <= TypeTableRound) {
        if (m_TableList.empty())
            return;
        key.SetTypeCode(quint16(LeadingInt(m_TableList.back().m_strCol3)));
        key.SetFillColour(kQXPanTableFill, false);
        key.SetTextColour(0x000000u, false);
        key.SetText1(QString());
        key.SetText2(QString());
        key.SetShape(shape);
        return;
    }

    key.SetFillColour(0xFFFFFFu, true);
    key.SetTextColour(0x000000u, true);
    if (t <= TypeSysKeyRound) {
        if (m_SysKeyList.size() > 1 && sel >= 0 && sel < int(m_SysKeyList.size())) {
            const CQXPanRefItem& row = m_SysKeyList[size_t(sel)];
            key.SetTypeCode(quint16(LeadingInt(row.m_strCol3)));
            key.SetNumber(0);
            key.SetText1(row.m_strCol2.left(kTextLineLength));
            key.SetText2(QString());
            key.SetShape(shape);
        }
        return;
    }
    if (m_FreeFuncList.size() > 1 && sel >= 1 && sel < int(m_FreeFuncList.size())) {
        const CQXPanRefItem& row = m_FreeFuncList[size_t(sel)];
        key.SetNumber(quint32(std::max(0, LeadingInt(row.m_strCol1))));
        key.SetText1(row.m_strCol2);
        key.SetText2(QString());
        key.SetTypeCode(quint16(LeadingInt(row.m_strCol3)));
        key.SetShape(shape);
    }
}

int CQXPanItemState::ApplyItemToBitmap(CQXPanBmpObj& bitmap)
{
    if (m_nObjType != TypeBackground && m_nObjType != TypePlaceBitmap)
        return 0;
    const int sel = m_nSel[0];
    if (sel < 1 || sel >= int(m_BmpList.size()))
        return 0;
    CQXPanRefItem& row = m_BmpList[size_t(sel)];
    CDibImage* image = row.LoadImage();
    if (!image)
        return 0;
    bitmap.SetImage(image, &row.m_strCol1);
    return 1;
}

void CQXPanItemState::CopyKeyToClipboard(const CQXPanKeyObj& key)
{
    m_KeyClip.SetFromRecord(key.m_Record);
    m_KeyClip.SetDisplayRect(key.DisplayRect());
}

void CQXPanItemState::CopyBmpToClipboard(const CQXPanBmpObj& bitmap)
{
    m_BmpClip.SetImage(bitmap.m_pImage, &bitmap.m_strFileName);
    m_BmpClip.SetDisplayRect(bitmap.DisplayRect());
    m_KeyClip.m_Record.bytes.fill(0);
}

void CQXPanItemState::PasteBmpFromClipboard(CQXPanBmpObj& bitmap) const
{
    bitmap.SetImage(m_BmpClip.m_pImage, &m_BmpClip.m_strFileName);
    bitmap.SetDisplayRect(m_BmpClip.DisplayRect());
}

bool CQXPanItemState::HasKeyInClipboard() const
{
    return m_KeyClip.Shape() != 0;
}
