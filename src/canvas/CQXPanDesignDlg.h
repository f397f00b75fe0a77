#pragma once

#include "canvas/CQXPanSelRect.h"
#include "document/CQXPanDocument.h"
#include "document/QXPanTypes.h"

#include <QCursor>
#include <QFont>
#include <QPoint>
#include <QWidget>

class CQXPanApp;
class CQXPanObjDlg;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

/// The design area: the child window under the main dialog's "Design Area" label on which the
/// screen is composed. It holds the design (background, placed bitmaps, keys and tables) and
/// paints it; its client coordinates are design-area pixels.
class CQXPanDesignDlg : public QWidget, public CQXPanDocument
{
    Q_OBJECT

public:
    /// Identifier of the selection frame inside the design area.
    static constexpr int IDC_FRAME = 1003;

    explicit CQXPanDesignDlg(QWidget* parent = nullptr);
    ~CQXPanDesignDlg() override;

    /// Sets the window up once it has its parent: cursors, empty design, the hidden selection
    /// frame, the label font. False when there is no application object.
    bool OnInitDialog(CQXPanApp* pApp);
    /// Gives the design area the object properties dialog; until then the mouse and the edit
    /// commands do nothing.
    void SetObjDlg(CQXPanObjDlg* pObjDlg);

    /// Drops the selection: no selected object, the frame hidden and without anchor; redraws.
    void Deselect();
    /// A background row was chosen: marks the design modified (not while the image type is
    /// being switched) and redraws.
    void OnItemListChanged();
    /// Redraws an object's rectangle together with the margin of its frame.
    void InvalidateObject(const QXPanRect& r);
    /// Appends a placed bitmap filled from the item list's selected bitmap row and selects it;
    /// 1 with its index in nIndex, 0 (nothing changed) when the row gives no image.
    int AddBmpObjFromItem(int& nIndex);
    /// Invalidates, erases and repaints the whole area at once.
    void Redraw();

    /// Width and height of the design rectangle (800 x 600 unless the application says else).
    QSize DesignSize() const;

    CQXPanSelRect m_SelRect;
    CQXPanApp* m_pApp = nullptr;
    QFont m_Font;
    QCursor m_hSizeCursor[8];
    QCursor m_hMoveCursor;
    QCursor m_hArrowCursor;
    CQXPanObjDlg* m_pObjDlg = nullptr;
    QPoint m_ptPaste;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// Paints the design in its fixed order: background, placed bitmaps, keys and tables.
    void PaintDesign(QPainter& painter) const;
};
