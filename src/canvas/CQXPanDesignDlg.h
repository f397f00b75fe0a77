#pragma once

#include "canvas/CQXPanSelRect.h"
#include "document/CQXPanDesignState.h"
#include "document/CQXPanDocument.h"
#include "document/QXPanArrange.h"
#include "document/QXPanTypes.h"
#include "uikit/MenuIds.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QUndoStack>
#include <QWidget>

#include <functional>

class CQXPanItemState;
class QEvent;
class QKeyEvent;
class QMenu;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QUndoCommand;

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
    /// frame, the label font.
    void OnInitDialog();
    /// Gives the design area the shared item state of the object properties dialog; until then
    /// the mouse and the edit commands do nothing.
    void SetObjDlg(CQXPanItemState* pObjDlg);

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

    /// Renders the background and the placed bitmaps into a register screen picture.
    bool RenderScreenImage(CDibImage& target) const;

    /// Width and height of the design rectangle (800 x 600).
    QSize DesignSize() const;

    /// Object kinds the hit test reports: placed bitmaps, keys and tables; -1 asks for both.
    enum HitKind : int
    {
        KindAny = -1,
        KindBitmap = 1,
        KindKey = 2
    };
    /// The object under pt, keys and tables before placed bitmaps, later before earlier; its
    /// kind goes to *pKind. With bSelect the selected index becomes the one found (-1 if none).
    bool HitTestObjects(QPoint pt, int* pKind, bool bSelect);

    /// Left press: selects the object under pt or starts a rubber band.
    void OnLButtonDown(QPoint pt);
    /// Mouse move: tracks while the left button is held, else sets the cursor.
    void OnMouseMove(Qt::MouseButtons buttons, QPoint pt);
    /// Left release: ends a move, resize, drawn rectangle or item-list drop.
    void OnLButtonUp(QPoint pt);
    /// Double-click: selects the object under pt and edits a key in the properties dialog.
    void OnLButtonDblClk(QPoint pt);
    /// Right press: selects the object under pt and shows the Edit popup there.
    void OnRButtonDown(QPoint pt);
    /// Menu commands Cut, Copy and Paste (menu identifiers) become edit commands.
    void OnCommand(int id);
    /// Delete (46), Copy (67), Cut (88) and Paste (86); Cut, Copy and Paste need kEditFlag.
    void EditCommand(int nChar, int nFlags);
    /// The popup shown as context menu; its actions carry their menu identifiers as data.
    void SetEditMenu(QMenu* pMenu) { m_pEditMenu = pMenu; }
    /// The Arrange popup, shown as a submenu of the context menu.
    void SetArrangeMenu(QMenu* pMenu) { m_pArrangeMenu = pMenu; }

    /// The history of changes to the design (the document's).
    QUndoStack& UndoStack() { return History(); }
    /// Takes back the last change; ignored while a press or a row drag is going on.
    void Undo();
    /// Makes the last change taken back again; ignored as Undo is.
    void Redo();
    /// After undo or redo of an object's change: the properties dialog forgets its record, the
    /// selection follows the object (index -1: dropped), the area is redrawn.
    void ShowUndoStep(int nKind, int nIndex);

    /// Moves the selected object by (dx, dy) design pixels as a drag of its body would, kept
    /// inside the design area; false when nothing moved.
    bool Nudge(int dx, int dy);
    /// Replaces the millisecond clock that decides which arrow presses form one undo step.
    void SetNudgeClock(std::function<qint64()> clock) { m_fnNudgeClock = std::move(clock); }

    /// The selected objects of the kind SelectionKind() names, the reference (the one with
    /// the frame) first; empty when nothing is selected.
    QList<int> Selection() const;
    /// KindKey while a key or table type is shown, else KindBitmap.
    int SelectionKind() const;
    /// The register rectangles of the selection, the reference first.
    QList<QXPanRect> SelectionRects() const;
    /// Selects the objects of the kind, the first as the reference; an empty list deselects.
    void SetSelection(int nKind, const QList<int>& indexes);
    /// True when a left press at pt (area pixels) with these keys acts on the selection (a
    /// Ctrl+click, or a press on one of several selected objects): it must not drop it first.
    bool KeepsSelectionOnPress(QPoint pt, Qt::KeyboardModifiers modifiers);
    /// Ctrl+click: adds the object under pt to the selection, or takes it out.
    void ToggleSelect(QPoint pt);
    /// Ctrl+A: every key and table, or every placed bitmap while that type is shown.
    void SelectAll();
    /// Tab and Shift+Tab: the next or previous object of the kind shown; false past the end.
    bool SelectNext(bool bForward);
    /// Moves the selection by (dx, dy) register pixels, cut down so that the group stays on
    /// the screen; one step named text. False when nothing moved.
    bool MoveSelection(int dx, int dy, const QString& text);
    /// Lines the selection up in register pixels; one step. Refused with a line saying why
    /// below two objects (three to distribute).
    void Arrange(QXPanArrange::Op op);

    /// Shows the grid, whose spacing is in register pixels, and snaps moved, resized and drawn
    /// objects to it while it is shown.
    void SetGrid(bool bShown, int nSpacing);
    bool GridShown() const { return m_bGridShown; }
    int GridSpacing() const { return m_nGridSpacing; }
    /// Replaces the selected key or table by rows x columns keys of the current row that fill
    /// its rectangle with the gap (register pixels) between them, as one step; refused whole
    /// with a line saying why when nothing is selected, the keys would be too small, or the
    /// check window has no room for them.
    bool FillWithKeys(int nRows, int nColumns, int nGap);

    /// Key codes of the edit commands and the flag the menu commands pass.
    static constexpr int kKeyDelete = 46;
    static constexpr int kKeyCopy = 67;
    static constexpr int kKeyPaste = 86;
    static constexpr int kKeyCut = 88;
    static constexpr int kEditFlag = 0x200000;

    CQXPanSelRect m_SelRect;
    QFont m_Font;
    QCursor m_hSizeCursor[8];
    QCursor m_hMoveCursor;
    QCursor m_hArrowCursor;
    CQXPanItemState* m_pObjDlg = nullptr;
    QPoint m_ptPaste;
    QMenu* m_pEditMenu = nullptr;
    QMenu* m_pArrangeMenu = nullptr;

signals:
    /// The pointer moved over the design area, or dragged beyond it (design-area pixels).
    void pointerMoved(QPoint pt);
    /// The pointer left the design area.
    void pointerLeft();
    /// The selection, or the frame of an object being dragged or drawn, may have changed.
    void selectionChanged();
    /// Undo or redo put back the item list's background row (the main dialog's m_nListSel).
    void BackgroundRowRestored(int nListSel);
    /// A mouse action or edit command did nothing; text says why, for the line under the area.
    void Refused(const QString& text);

protected:
    /// Reports the selection frame's moves, resizes and visibility as selectionChanged.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    /// Shows the frame around hit object i of the kind and lets pt decide what is grabbed.
    void SelectHitObject(int nKind, int i, QPoint pt);
    /// True when the current type needs a reference list and that list has no item.
    bool TypeListEmpty(int type) const;
    /// The left release proper (OnLButtonUp also ends a drop).
    void ReleaseLeft(QPoint pt);
    /// Ends a move or resize of selected key or placed bitmap i at pt.
    template <class Obj> void EndMoveResize(QList<Obj>& objs, int i, QPoint pt);
    /// Removes the selected object (Delete and the second half of Cut).
    void DeleteSelected(bool bCut);
    void Paste();
    /// True when r lies inside the design area as a pasted or dropped object must.
    bool FitsDesign(const QXPanRect& r) const;
    /// True when pt lies on the design rectangle itself, not on the border right or below it.
    bool InDesign(QPoint pt) const;
    /// A drawn rectangle made at least as large as a rubber band and moved inside the area.
    QXPanRect DrawnRect(QXPanRect r) const;
    /// Says that the screen has no room for another key or table.
    void RefuseFullScreen();

    /// The background stretched over the design rectangle at the painter's pixel ratio, kept
    /// until the picture or the ratio changes.
    const QImage& StretchedBackground(const QPainter& painter) const;
    /// Paints the design in its fixed order: background, placed bitmaps, keys and tables.
    void PaintDesign(QPainter& painter) const;
    /// True while undo, redo and the keyboard must wait: a press or a row drag is going on.
    bool Busy() const;
    void UndoOrRedo(bool bUndo);
    /// Triggers the Edit menu's item with the identifier, as choosing it from the menu bar.
    void TriggerEditMenu(int id);
    /// Frames object nIndex of the kind and makes its type current, as a click on it does.
    void SelectObject(int nKind, int nIndex);

    // ---- Multi-selection (CQXPanDesignGroup.cpp) ----
    /// What a press that the single-object rules do not handle has started.
    enum class Drag
    {
        None,
        Marquee,  ///< Shift+drag from an empty spot
        Group,    ///< a drag of a selected object while several are selected
        Swallowed ///< a Ctrl+click: its release does nothing
    };
    /// Handles the press, move or release when it belongs to the multi-selection.
    bool GroupPress(QMouseEvent* event);
    bool GroupMove(QPoint pt);
    bool GroupRelease(QPoint pt);
    /// The index of the object of the kind under pt, -1 for none.
    int ObjectAt(QPoint pt, int nKind);
    /// True when pt is on one of several selected objects.
    bool OnSelectedGroup(QPoint pt);
    /// How many objects the array of the kind holds.
    int ObjectCount(int nKind) const;
    QXPanRect RegisterRectOf(int nKind, int i) const;
    void SetRegisterRectOf(int nKind, int i, const QXPanRect& r);
    /// Puts the rectangles on the selected objects as one step named text.
    void ApplySelectionRects(const QList<QXPanRect>& rects, const QString& text);
    /// The register offset of the group drag so far.
    std::pair<int, int> GroupDragOffset() const;
    /// Outlines of the other selected objects, the dragged group and the marquee.
    void PaintSelection(QPainter& painter) const;
    /// Gives the keys the colours, shape and texts that changed from was to now.
    void SpreadProperties(const CQXPanKeyObj& was, const CQXPanKeyObj& now, const QList<int>& keys);
    /// Removes every selected object as one step (Delete, Cut).
    void DeleteGroup(bool bCut);
    /// Copies every selected object; a later Paste puts them all back, as they lay.
    void CopyGroup();
    /// Pastes the copied group with its top-left corner at the paste point, as one step, or
    /// refuses it whole with a line saying why.
    void PasteGroup();

    QList<CQXPanKeyObj> m_GroupKeyClip;
    QList<CQXPanBmpObj> m_GroupBmpClip;
    bool m_bGroupClipNewest = false; ///< the last Copy or Cut was of a group

    /// What SnappedRect snaps: every edge of a drawn rectangle, or the whole rectangle moved.
    static constexpr int kSnapEdges = 9;
    static constexpr int kSnapMove = -1;
    /// The register rectangle with the edges that the frame handle moved (0 to 7) on the grid,
    /// or as kSnapEdges / kSnapMove say; unchanged while the grid is not shown.
    QXPanRect SnappedRect(QXPanRect r, int nHandle) const;
    /// The dots of the grid.
    void PaintGrid(QPainter& painter) const;

    QList<int> m_Group; ///< the selected objects besides the reference
    bool m_bGridShown = false;
    int m_nGridSpacing = 16;
    QList<QPoint> m_gridDots; ///< where PaintGrid draws, made when the grid changes
    Drag m_drag = Drag::None;
    QPoint m_ptDragFrom;
    QPoint m_ptDragTo;

    QElapsedTimer m_nudgeTimer;
    mutable QImage m_stretched;
    mutable qint64 m_stretchedKey = 0;
    std::function<qint64()> m_fnNudgeClock;
};
