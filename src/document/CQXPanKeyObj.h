#pragma once

#include "document/CQXPanCell.h"
#include "document/ScreenObjectRecord.h"
#include "document/ScreenScale.h"

class QString;

/// A key or table object: the register's record plus its display cell.
class CQXPanKeyObj
{
public:
    CQXPanKeyObj() = default;

    /// Fills the scale from the register screen and design rectangles.
    void ComputeScale();
    /// Takes a whole register record and derives the display rectangle and colours from it.
    void SetFromRecord(const quint8* record);
    void SetFromRecord(const ScreenObjectRecord& record) { SetFromRecord(record.data()); }
    /// Stores a register rectangle (clamped to the screen) and derives the display rectangle.
    void SetRegisterRect(int left, int top, int right, int bottom);
    /// Stores a display rectangle (clamped to the design area); false when it is unchanged.
    bool SetDisplayRect(int left, int top, int right, int bottom);
    bool SetDisplayRect(const QXPanRect& r)
    {
        return SetDisplayRect(r.left, r.top, r.right, r.bottom);
    }
    /// True when the record is a free slot; the type code is given through pTypeCode if set.
    bool IsFree(quint16* pTypeCode = nullptr) const;
    /// Sets the display fill colour; with bRecord also the record's fill colour bytes.
    void SetFillColour(QXPanColor colour, bool bRecord);
    /// Sets the display text colour; with bRecord also the record's text colour bytes.
    void SetTextColour(QXPanColor colour, bool bRecord);
    /// The packed decimal number of the record.
    int GetNumber() const;
    /// Stores the last six decimal digits of n as packed decimal.
    void SetNumber(quint32 n);
    /// Stores the first 20 characters of the text, padded with blanks.
    void SetText1(const QString& text);
    void SetText2(const QString& text);
    /// The text without leading and trailing blanks; its length through pLength if set.
    QString GetText1(int* pLength = nullptr) const;
    QString GetText2(int* pLength = nullptr) const;

    /// The register type code (93 for a table, else the function code).
    quint16 TypeCode() const { return m_Record.Word(ScreenObjectRecord::TypeCode); }
    void SetTypeCode(quint16 code) { m_Record.SetWord(ScreenObjectRecord::TypeCode, code); }
    /// The shape byte (0 free, 1 rectangle, 2 ellipse).
    quint8 Shape() const { return m_Record.bytes[ScreenObjectRecord::Shape]; }
    void SetShape(quint8 shape) { m_Record.bytes[ScreenObjectRecord::Shape] = shape; }
    /// The register rectangle as stored in the record.
    QXPanRect RegisterRect() const;
    /// The display rectangle in design-area pixels.
    const QXPanRect& DisplayRect() const { return m_Cell.m_rect; }

    ScreenObjectRecord m_Record;
    CQXPanCell m_Cell;
    ScreenScale m_Scale;

private:
    void EnsureScale();
    void UpdateDisplayRect();
    void StoreText(int offset, const QString& text);
    QString ReadText(int offset, int* pLength) const;
};
