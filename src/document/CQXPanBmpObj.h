#pragma once

#include "document/CQXPanCell.h"
#include "document/ScreenScale.h"

#include <QString>

class CDibImage;

/// A placed bitmap: an image (owned by the placed-bitmap list) stamped into the screen.
class CQXPanBmpObj
{
public:
    /// Constructs an empty record with its scale computed.
    CQXPanBmpObj();

    /// Fills the scale from the register screen and design rectangles.
    void ComputeScale();
    /// Stores a display rectangle (clamped to the design area); false when it is unchanged.
    bool SetDisplayRect(const QXPanRect& r);
    /// Stores the register rectangle as given and derives the display rectangle.
    void SetRegisterRect(const QXPanRect& r);
    /// Points at the image and, when pFileName is set, stores the file name; an empty register
    /// rectangle becomes the image's own size.
    void SetImage(CDibImage* pImage, const QString* pFileName = nullptr);

    /// The display rectangle in design-area pixels.
    const QXPanRect& DisplayRect() const { return m_Cell.m_rect; }

    ScreenScale m_Scale;
    CDibImage* m_pImage = nullptr; ///< not owned
    QXPanRect m_rcRegister;
    CQXPanCell m_Cell;
    QString m_strFileName;

private:
    void EnsureScale();
};
