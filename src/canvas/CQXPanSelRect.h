#pragma once

#include "document/CQXPanCell.h"
#include "document/QXPanTypes.h"

#include <QFont>
#include <QList>
#include <QPoint>
#include <QWidget>

class QPainter;
class QPaintEvent;
class QString;

/// The object rectangle window: parts (framed rectangles with optional texts) and, in handle
/// mode, eight 6 x 6 grab handles per part. On the design area it is the selection frame; in the
/// properties dialog it is the two-part colour preview. It never takes the mouse: presses go
/// through to the parent, as they would through a static control.
class CQXPanSelRect : public QWidget
{
    Q_OBJECT

public:
    /// Handle numbers as the hit tests and the tracking use them. Values are fixed by the design
    /// area's cursor table and must not be renumbered.
    enum Handle : int
    {
        HandleMove = -1, ///< m_nHandle while the body is dragged
        HandleTopLeft = 0,
        HandleTop = 1,
        HandleTopRight = 2,
        HandleLeft = 3,
        HandleRight = 4,
        HandleBottomLeft = 5,
        HandleBottom = 6,
        HandleBottomRight = 7,
        HandleBody = 8, ///< HitHandle's answer for a point on the part itself
        HandleNone = 9
    };

    /// Size of a handle square and the frame margin around a part in handle mode.
    static constexpr int kHandleSize = 6;
    static constexpr int kFrameMargin = 3;
    /// Smallest width and height a resize or a rubber band makes.
    static constexpr int kMinTrackSize = 24;

    explicit CQXPanSelRect(QWidget* parent = nullptr);
    ~CQXPanSelRect() override;

    /// Sets up nParts parts; bLayout cuts a wide client area into strips; nMode 1 adds handles.
    void Setup(int nParts, bool bLayout, int nMode);
    /// Sets a part's fill and pen colour (the fill also becomes its text background).
    void SetPartColour(QXPanColor fill, QXPanColor pen, int nPart);
    /// A part's pen colour with bPen, else its fill colour; 0 for an index out of range.
    QXPanColor GetPartColour(int nPart, bool bPen) const;
    /// Gives a part a copy of text in textColour on its fill colour.
    void SetPartText(int nPart, const QString& text, QXPanColor textColour);
    /// Lays the window over r (grown by the frame margin in handle mode) and decides from pt
    /// what a press there grabs; a null pt keeps the current handle.
    void FrameRect(const QXPanRect& r, const QPoint* pt, int nPart, bool bRepaint);
    /// What a press at pt (parent coordinates) grabs: -1 move, 0..7 a handle, 9 nothing.
    int BeginTrack(const QPoint* pt, int nPart);
    /// Cursor feedback: 8 on the part, 0..7 on a handle, 9 elsewhere.
    int HitHandle(QPoint pt, int nPart) const;
    /// The part's rectangle in parent coordinates; also forgets the anchor.
    void GetPartRect(QXPanRect& out, int nPart);
    /// Starts drawing a new rectangle from pt: anchor at pt, nothing grabbed, frame hidden.
    void StartRubberBand(QPoint pt);
    /// True when the anchor is set (both coordinates 0 or more).
    bool HasAnchor() const;
    /// One tracking step toward pt (parent coordinates); may change pt.
    void Track(QPoint* pt, int nPart);

    /// Forgets the anchor and the current handle and hides the frame (the design area's
    /// Deselect).
    void ForgetTrack();
    /// The rectangle moves are kept inside; the design rectangle unless set otherwise.
    void SetDesignRect(const QXPanRect& rcDesign) { m_rcDesign = rcDesign; }

    /// Cell hit test shared with the design area's object hit test: the rectangle itself or one
    /// of the eight 6 x 6 squares centred on its corners and edge midpoints. Nothing smaller
    /// than 6 x 6 is ever hit.
    static bool CellHitTest(const QXPanRect& r, QPoint pt);
    /// Top-left corner of handle k (0..7) around r.
    static QPoint HandleOrigin(const QXPanRect& r, int k);

    int m_nObjIndex = -1;
    QList<CQXPanCell> m_Handles;
    QList<CQXPanCell> m_Parts;
    int m_nHandleMode = 2;
    QFont m_Font;
    QPoint m_ptAnchor{-1, -1};
    int m_nHandle = HandleNone;
    QWidget* m_pParent = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool IsPart(int nPart) const { return nPart >= 0 && nPart < m_Parts.size(); }
    /// Lays out the part's eight handle cells around its rectangle (window coordinates).
    void PlaceHandles(int nPart);
    void DrawHandles(QPainter& painter, int nPart) const;
    /// Places the window at a rectangle in parent coordinates.
    void SetWindowRect(const QXPanRect& r);

    QXPanRect m_rcDesign = kQXPanDesignRect;
};
