#include "document/CQXPanKeyObj.h"

#include <QList>
#include <QString>

#include <cstring>

void CQXPanKeyObj::ComputeScale()
{
    m_Scale.Compute();
}

void CQXPanKeyObj::EnsureScale()
{
    if (!m_Scale.IsSet())
        ComputeScale();
}

QXPanRect CQXPanKeyObj::RegisterRect() const
{
    return {m_Record.Word(ScreenObjectRecord::Left), m_Record.Word(ScreenObjectRecord::Top),
            m_Record.Word(ScreenObjectRecord::Right), m_Record.Word(ScreenObjectRecord::Bottom)};
}

void CQXPanKeyObj::UpdateDisplayRect()
{
    EnsureScale();
    m_Cell.m_rect = m_Scale.RegisterToDesign(RegisterRect());
}

void CQXPanKeyObj::SetFromRecord(const quint8* record)
{
    std::memcpy(m_Record.data(), record, kQXPanRecordSize);
    UpdateDisplayRect();
    if (m_Record.bytes[ScreenObjectRecord::TypeCode] == kQXPanTableCode) {
        // A table always shows grey with black text, whatever its colour bytes hold.
        m_Cell.m_clrFill = kQXPanTableFill;
        m_Cell.m_clrLabelBk = kQXPanTableFill;
        m_Cell.m_clrLabel = 0;
    } else {
        m_Cell.m_clrFill = m_Record.Colour(ScreenObjectRecord::FillColour);
        m_Cell.m_clrLabelBk = m_Cell.m_clrFill;
        m_Cell.m_clrLabel = m_Record.Colour(ScreenObjectRecord::TextColour);
    }
}

void CQXPanKeyObj::SetRegisterRect(int left, int top, int right, int bottom)
{
    EnsureScale();
    if (left < 0)
        left = 0;
    if (top < 0)
        top = 0;
    if (right >= m_Scale.W)
        right = m_Scale.W - 1;
    if (bottom >= m_Scale.H)
        bottom = m_Scale.H - 1;
    m_Record.SetWord(ScreenObjectRecord::Left, quint16(left));
    m_Record.SetWord(ScreenObjectRecord::Top, quint16(top));
    m_Record.SetWord(ScreenObjectRecord::Right, quint16(right));
    m_Record.SetWord(ScreenObjectRecord::Bottom, quint16(bottom));
    UpdateDisplayRect();
}

bool CQXPanKeyObj::SetDisplayRect(int left, int top, int right, int bottom)
{
    if (m_Cell.m_rect == QXPanRect{left, top, right, bottom})
        return false;
    EnsureScale();
    if (left < 0)
        left = 0;
    if (top < 0)
        top = 0;
    if (right > m_Scale.w - 1)
        right = m_Scale.w - 1;
    if (bottom > m_Scale.h - 1)
        bottom = m_Scale.h - 1;
    m_Cell.m_rect = {left, top, right, bottom};
    const QXPanRect reg = m_Scale.DesignToRegister(m_Cell.m_rect);
    m_Record.SetWord(ScreenObjectRecord::Left, quint16(reg.left));
    m_Record.SetWord(ScreenObjectRecord::Top, quint16(reg.top));
    m_Record.SetWord(ScreenObjectRecord::Right, quint16(reg.right));
    m_Record.SetWord(ScreenObjectRecord::Bottom, quint16(reg.bottom));
    return true;
}

bool CQXPanKeyObj::IsFree(quint16* pTypeCode) const
{
    if (pTypeCode)
        *pTypeCode = TypeCode();
    return Shape() == ScreenObjectRecord::ShapeFree;
}

void CQXPanKeyObj::SetFillColour(QXPanColor colour, bool bRecord)
{
    m_Cell.m_clrFill = colour;
    m_Cell.m_clrLabelBk = colour;
    if (bRecord)
        m_Record.SetColour(ScreenObjectRecord::FillColour, colour);
}

void CQXPanKeyObj::SetTextColour(QXPanColor colour, bool bRecord)
{
    m_Cell.m_clrLabel = colour;
    if (bRecord)
        m_Record.SetColour(ScreenObjectRecord::TextColour, colour);
}

int CQXPanKeyObj::GetNumber() const
{
    const auto& b = m_Record.bytes;
    const int n17 = b[ScreenObjectRecord::Number];
    const int n18 = b[ScreenObjectRecord::Number + 1];
    const int n19 = b[ScreenObjectRecord::Number + 2];
    return 100000 * (n17 >> 4) + 10000 * (n17 & 0xF) + 1000 * (n18 >> 4) + 100 * (n18 & 0xF) +
           10 * (n19 >> 4) + (n19 & 0xF);
}

void CQXPanKeyObj::SetNumber(quint32 n)
{
    auto& b = m_Record.bytes;
    b[ScreenObjectRecord::Number + 2] = quint8((n / 10 % 10) * 16 + n % 10);
    b[ScreenObjectRecord::Number + 1] = n / 100 ? quint8((n / 1000 % 10) * 16 + n / 100 % 10) : 0;
    b[ScreenObjectRecord::Number] = n / 10000 ? quint8((n / 100000 % 10) * 16 + n / 10000 % 10) : 0;
}

void CQXPanKeyObj::StoreText(int offset, const QString& text)
{
    // The register knows single bytes only: Latin-1, anything beyond it becomes "?".
    const QList<uint> codePoints = text.toUcs4();
    for (int i = 0; i < ScreenObjectRecord::kTextLength; ++i) {
        quint8 byte = ' ';
        if (i < codePoints.size())
            byte = codePoints[i] <= 0xFF ? quint8(codePoints[i]) : quint8('?');
        m_Record.bytes[offset + i] = byte;
    }
}

QString CQXPanKeyObj::ReadText(int offset, int* pLength) const
{
    const char* field = reinterpret_cast<const char*>(m_Record.data() + offset);
    int end = 0;
    while (end < ScreenObjectRecord::kTextLength && field[end] != '\0')
        ++end;
    int begin = 0;
    while (begin < end && field[begin] == ' ')
        ++begin;
    while (end > begin && field[end - 1] == ' ')
        --end;
    if (pLength)
        *pLength = end - begin;
    return QString::fromLatin1(field + begin, end - begin);
}

void CQXPanKeyObj::SetText1(const QString& text)
{
    StoreText(ScreenObjectRecord::Text1, text);
}

void CQXPanKeyObj::SetText2(const QString& text)
{
    StoreText(ScreenObjectRecord::Text2, text);
}

QString CQXPanKeyObj::GetText1(int* pLength) const
{
    return ReadText(ScreenObjectRecord::Text1, pLength);
}

QString CQXPanKeyObj::GetText2(int* pLength) const
{
    return ReadText(ScreenObjectRecord::Text2, pLength);
}
