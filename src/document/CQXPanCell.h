#pragma once

#include "document/QXPanTypes.h"

#include <QString>

/// A display cell: rectangle in design-area pixels, outline, fill and an optional label.
class CQXPanCell
{
public:
    CQXPanCell() = default;
    CQXPanCell(const CQXPanCell&) = default;
    CQXPanCell& operator=(const CQXPanCell&) = default;
    virtual ~CQXPanCell() = default;

    /// Sets the label to a copy of the text; a null string removes the label.
    void SetText(const QString& text) { m_strLabel = text; }
    /// True while the cell has a label.
    bool HasText() const { return !m_strLabel.isNull(); }

    qint32 m_nReserved1 = 0;
    QXPanRect m_rect;
    qint32 m_nReserved2 = 0;
    QXPanColor m_clrOutline = 0;
    QXPanColor m_clrFill = kQXPanHollow;
    QString m_strLabel; ///< null while the cell has no label
    QXPanColor m_clrLabel = 0;
    QXPanColor m_clrLabelBk = 0xFFFFFFu;
};
