#include "canvas/CQXPanSelRect.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPalette>
#include <QSet>
#include <QWidget>

#include <ostream>
#include <vector>

// Readable rectangles in failure messages.
void PrintTo(const QXPanRect& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr QRgb kGround = qRgb(10, 200, 30); // the design picture beneath the frame
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

/// A design area stand-in with a plain coloured picture and the frame on it.
class SelRectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_parent.resize(800, 600);
        QPalette palette = m_parent.palette();
        palette.setColor(QPalette::Window, QColor(kGround));
        m_parent.setPalette(palette);
        m_parent.setAutoFillBackground(true);
        m_sel = new CQXPanSelRect(&m_parent);
        m_sel->setGeometry(-1, -1, 802, 602);
        m_sel->hide();
        m_parent.show();
    }

    /// The part's rectangle in the parent's coordinates, without touching the anchor.
    QXPanRect PartInParent(int part = 0) const
    {
        const QXPanRect& r = m_sel->m_Parts[part].m_rect;
        return {r.left + m_sel->x(), r.top + m_sel->y(), r.right + m_sel->x(),
                r.bottom + m_sel->y()};
    }

    QImage Grab() { return m_parent.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget m_parent;
    CQXPanSelRect* m_sel = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Setup

TEST_F(SelRectTest, StripLayoutPutsRemainderOnFirstStrips)
{
    const struct
    {
        int width, height, parts;
        std::vector<std::pair<int, int>> strips; ///< empty: the rectangles stay as they were
    } cases[] = {{241, 40, 2, {{0, 121}, {121, 241}}},
                 {11, 4, 4, {{0, 3}, {3, 6}, {6, 9}, {9, 11}}},
                 {40, 40, 2, {}}}; // square: not wider than high
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        m_sel->setGeometry(0, 0, c.width, c.height);
        m_sel->Setup(c.parts, false, 0);
        for (CQXPanCell& part : m_sel->m_Parts)
            part.m_rect = {1, 2, 3, 4};
        m_sel->Setup(c.parts, true, 0);
        ASSERT_EQ(m_sel->m_Parts.size(), c.parts);
        for (int i = 0; i < c.parts; ++i) {
            const QXPanRect expected =
                c.strips.empty() ? QXPanRect{1, 2, 3, 4}
                                 : QXPanRect{c.strips[i].first, 0, c.strips[i].second, c.height};
            EXPECT_EQ(m_sel->m_Parts[i].m_rect, expected) << "part " << i;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// FrameRect

TEST_F(SelRectTest, HandleModeGrowsWindowByMarginAndPlacesHandles)
{
    const struct
    {
        QXPanRect r;
        QRect window;                      ///< x, y, width, height in the parent
        QXPanRect part;                    ///< in the window
        std::vector<QPoint> handleOrigins; ///< in the window, handles 0..7
    } cases[] = {{{100, 50, 160, 90},
                  QRect(97, 47, 66, 46),
                  {3, 3, 63, 43},
                  {{0, 0}, {30, 0}, {60, 0}, {0, 20}, {60, 20}, {0, 40}, {30, 40}, {60, 40}}},
                 // Narrower than a handle: the middle offsets round toward minus infinity.
                 {{200, 100, 205, 109},
                  QRect(197, 97, 11, 15),
                  {3, 3, 8, 12},
                  {{0, 0}, {2, 0}, {5, 0}, {0, 4}, {5, 4}, {0, 9}, {2, 9}, {5, 9}}}};
    m_sel->Setup(1, false, 1);
    for (const auto& c : cases) {
        m_sel->FrameRect(c.r, nullptr, 0, true);
        EXPECT_FALSE(m_sel->isHidden());
        EXPECT_EQ(m_sel->geometry(), c.window);
        EXPECT_EQ(m_sel->m_Parts[0].m_rect, c.part);
        for (int k = 0; k < 8; ++k) {
            const QPoint o = c.handleOrigins[k];
            EXPECT_EQ(m_sel->m_Handles[k].m_rect, (QXPanRect{o.x(), o.y(), o.x() + 6, o.y() + 6}))
                << "handle " << k;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// What a press grabs

struct GrabCase
{
    QXPanRect r;
    QPoint press;
    int handle;
    QPoint anchor;
};

class SelRectGrab : public SelRectTest, public ::testing::WithParamInterface<GrabCase>
{};

TEST_P(SelRectGrab, PressDecidesHandleAndAnchor)
{
    const GrabCase& c = GetParam();
    m_sel->Setup(1, false, 1);
    m_sel->m_ptAnchor = QPoint(5, 5);
    m_sel->FrameRect(c.r, &c.press, 0, true);
    EXPECT_EQ(m_sel->m_nHandle, c.handle);
    EXPECT_EQ(m_sel->m_ptAnchor, c.anchor);
}

// Frame over (100, 100, 200, 160): handle squares start at x 97, 147, 197 and y 97, 127, 157.
constexpr QXPanRect kObj{100, 100, 200, 160};

INSTANTIATE_TEST_SUITE_P(
    Points, SelRectGrab,
    ::testing::Values(
        GrabCase{kObj, {101, 101}, 0, {200, 160}}, // handle piece inside the part
        GrabCase{kObj, {149, 99}, 1, {200, 160}}, GrabCase{kObj, {199, 99}, 2, {100, 160}},
        GrabCase{kObj, {99, 129}, 3, {200, 160}}, GrabCase{kObj, {199, 129}, 4, {100, 100}},
        GrabCase{kObj, {149, 159}, 6, {100, 100}}, GrabCase{kObj, {99, 159}, 5, {200, 100}},
        GrabCase{kObj, {202, 162}, 7, {100, 100}}, GrabCase{kObj, {150, 130}, -1, {150, 130}},
        GrabCase{kObj, {203, 159}, 9, {-1, -1}}, // just right of handle 7
        // 8 pixels wide: handles overlap and the higher number wins.
        GrabCase{{100, 100, 108, 140}, {105, 98}, 2, {100, 140}}));

TEST_F(SelRectTest, HitHandleReportsTheBodyWhereBeginTrackGrabsAHandle)
{
    m_sel->Setup(1, false, 1);
    m_sel->FrameRect(kObj, nullptr, 0, true);
    EXPECT_EQ(m_sel->HitHandle({101, 101}, 0), 8);
    EXPECT_EQ(m_sel->HitHandle({98, 98}, 0), 0);
    EXPECT_EQ(m_sel->HitHandle({202, 162}, 0), 7);
    EXPECT_EQ(m_sel->HitHandle({150, 96}, 0), 9);
    EXPECT_EQ(m_sel->HitHandle({101, 101}, 1), 9);

    const QPoint press(101, 101);
    EXPECT_EQ(m_sel->BeginTrack(&press, 0), 0);
    EXPECT_EQ(m_sel->BeginTrack(nullptr, 0), 0); // null point: the current handle
    EXPECT_EQ(m_sel->BeginTrack(&press, 1), 9);
}

TEST_F(SelRectTest, PreviewModeGrabsOnlyThePart)
{
    m_sel->Setup(1, false, 0);
    m_sel->FrameRect({10, 10, 50, 30}, nullptr, 0, true);
    const QPoint inside(10, 10);
    const QPoint outside(50, 20);
    EXPECT_EQ(m_sel->BeginTrack(&inside, 0), -1);
    EXPECT_EQ(m_sel->BeginTrack(&outside, 0), 9);
}

TEST(SelRectCellHit, SquaresReachThreePixelsOutAndTinyCellsAreNeverHit)
{
    const QXPanRect key{100, 100, 140, 130};
    EXPECT_TRUE(CQXPanSelRect::CellHitTest(key, {98, 115}));   // middle-left square
    EXPECT_FALSE(CQXPanSelRect::CellHitTest(key, {98, 105}));  // left of the edge, no square
    EXPECT_TRUE(CQXPanSelRect::CellHitTest(key, {142, 132}));  // bottom-right square
    EXPECT_FALSE(CQXPanSelRect::CellHitTest(key, {143, 132})); // right edge of it is out
    EXPECT_TRUE(CQXPanSelRect::CellHitTest(key, {139, 129}));
    EXPECT_FALSE(CQXPanSelRect::CellHitTest({100, 100, 105, 130}, {102, 115}));
    EXPECT_TRUE(CQXPanSelRect::CellHitTest({100, 100, 106, 106}, {102, 102}));
}

// ---------------------------------------------------------------------------------------------
// Tracking

TEST_F(SelRectTest, MoveStopsAtTheEdgesAndComesBackAtOnce)
{
    m_sel->Setup(1, false, 1);
    QPoint press(720, 120);
    m_sel->FrameRect({700, 100, 750, 140}, &press, 0, true);
    ASSERT_EQ(m_sel->m_nHandle, -1);
    QPoint pt(800, 130);
    m_sel->Track(&pt, 0);
    EXPECT_EQ(pt, QPoint(800, 130)); // a move leaves the point alone
    EXPECT_EQ(PartInParent(), (QXPanRect{749, 110, 799, 150}));
    EXPECT_EQ(m_sel->pos(), QPoint(746, 107));
    EXPECT_EQ(m_sel->m_ptAnchor, pt);
    pt = QPoint(790, 130);
    m_sel->Track(&pt, 0);
    EXPECT_EQ(PartInParent(), (QXPanRect{739, 110, 789, 150}));

    press = QPoint(30, 20);
    m_sel->FrameRect({10, 10, 60, 40}, &press, 0, true);
    pt = QPoint(0, 0);
    m_sel->Track(&pt, 0);
    EXPECT_EQ(PartInParent(), (QXPanRect{0, 0, 50, 30}));

    press = QPoint(120, 560);
    m_sel->FrameRect({100, 550, 150, 590}, &press, 0, true);
    pt = QPoint(120, 600);
    m_sel->Track(&pt, 0);
    EXPECT_EQ(PartInParent(), (QXPanRect{100, 559, 150, 599}));
}

struct ResizeCase
{
    QPoint press; ///< on a handle of kObj
    QPoint to;
    QPoint newPt;
    QXPanRect result;
};

class SelRectResize : public SelRectTest, public ::testing::WithParamInterface<ResizeCase>
{};

TEST_P(SelRectResize, HandleKeepsMinimumAgainstAnchor)
{
    const ResizeCase& c = GetParam();
    m_sel->Setup(1, false, 1);
    m_sel->FrameRect(kObj, &c.press, 0, true);
    const int handle = m_sel->m_nHandle;
    const QPoint anchor = m_sel->m_ptAnchor;
    ASSERT_GE(handle, 0);

    QPoint pt = c.to;
    m_sel->Track(&pt, 0);
    EXPECT_EQ(pt, c.newPt);
    EXPECT_EQ(PartInParent(), c.result);
    EXPECT_EQ(m_sel->m_nHandle, handle);
    EXPECT_EQ(m_sel->m_ptAnchor, anchor);
}

INSTANTIATE_TEST_SUITE_P(
    Handles, SelRectResize,
    ::testing::Values(
        // Bottom-right dragged up and left beyond the opposite corner: 24 x 24.
        ResizeCase{{199, 159}, {50, 50}, {124, 124}, {100, 100, 124, 124}},
        // Not kept inside the design area while resizing.
        ResizeCase{{199, 159}, {900, 700}, {900, 700}, {100, 100, 900, 700}},
        // The top edge keeps the width.
        ResizeCase{{149, 99}, {10, 150}, {100, 136}, {100, 136, 200, 160}},
        ResizeCase{{99, 99}, {300, 300}, {176, 136}, {176, 136, 200, 160}},
        ResizeCase{{199, 99}, {0, 300}, {124, 136}, {100, 136, 124, 160}},
        ResizeCase{{99, 129}, {150, 0}, {150, 100}, {150, 100, 200, 160}},
        ResizeCase{{199, 129}, {110, 0}, {124, 160}, {100, 100, 124, 160}},
        ResizeCase{{149, 159}, {0, 0}, {200, 124}, {100, 100, 200, 124}},
        ResizeCase{{99, 159}, {300, 0}, {176, 124}, {176, 100, 200, 124}}));

TEST_F(SelRectTest, RubberBandShowsNothingUntilBothSidesReachTheMinimum)
{
    m_sel->Setup(1, false, 1);
    m_sel->StartRubberBand({100, 100});
    EXPECT_TRUE(m_sel->isHidden());
    EXPECT_TRUE(m_sel->HasAnchor());
    EXPECT_EQ(m_sel->m_nHandle, 9);

    QPoint pt(130, 110); // 30 x 10
    m_sel->Track(&pt, 0);
    EXPECT_TRUE(m_sel->isHidden());

    pt = QPoint(124, 124);
    m_sel->Track(&pt, 0);
    ASSERT_FALSE(m_sel->isHidden());
    EXPECT_EQ(PartInParent(), (QXPanRect{100, 100, 124, 124}));

    pt = QPoint(80, 90); // too small again: the earlier frame stays
    m_sel->Track(&pt, 0);
    EXPECT_EQ(PartInParent(), (QXPanRect{100, 100, 124, 124}));

    pt = QPoint(50, 60);
    m_sel->Track(&pt, 0);
    EXPECT_EQ(m_sel->m_nHandle, 9);

    QXPanRect out;
    m_sel->GetPartRect(out, 0);
    EXPECT_EQ(out, (QXPanRect{50, 60, 100, 100}));
    EXPECT_FALSE(m_sel->HasAnchor());
}

TEST_F(SelRectTest, TrackDoesNothingWithoutAnchorParentOrPart)
{
    m_sel->Setup(1, false, 1);
    m_sel->StartRubberBand({100, 100});
    QPoint pt(200, 200);
    m_sel->Track(&pt, 1); // no part 1
    EXPECT_TRUE(m_sel->isHidden());

    m_sel->ForgetTrack();
    EXPECT_FALSE(m_sel->HasAnchor());
    m_sel->Track(&pt, 0);
    EXPECT_TRUE(m_sel->isHidden());

    CQXPanSelRect orphan; // never set up: no parent
    orphan.m_Parts.resize(1);
    orphan.StartRubberBand({0, 0});
    orphan.Track(&pt, 0);
    EXPECT_TRUE(orphan.isHidden());
}

// ---------------------------------------------------------------------------------------------
// Painting

TEST_F(SelRectTest, SelectionFrameShowsOutlineAndWhiteHandlesOverThePicture)
{
    m_sel->Setup(1, false, 1);
    m_sel->FrameRect(kObj, nullptr, 0, true);
    const QImage img = Grab();

    // The outline lies exactly on the object's rectangle; the inside shows the picture.
    EXPECT_EQ(img.pixel(120, 100), kBlack);
    EXPECT_EQ(img.pixel(199, 140), kBlack);
    EXPECT_EQ(img.pixel(150, 130), kGround);
    EXPECT_EQ(img.pixel(200, 140), kGround);

    // Handles: black edge, white inside, half in and half out of the object.
    EXPECT_EQ(img.pixel(97, 97), kBlack);
    EXPECT_EQ(img.pixel(101, 101), kWhite);
    EXPECT_EQ(img.pixel(96, 96), kGround);
    EXPECT_EQ(img.pixel(202, 162), kBlack);
    EXPECT_EQ(img.pixel(203, 163), kGround);
}

TEST_F(SelRectTest, PlainPartsDrawNoHandlesAndFillWhenAsked)
{
    m_sel->Setup(1, false, 0);
    m_sel->FrameRect(kObj, nullptr, 0, true);
    EXPECT_EQ(m_sel->geometry(), QRect(100, 100, 100, 60)); // no margin without handles
    EXPECT_EQ(m_sel->m_Parts[0].m_rect, (QXPanRect{0, 0, 100, 60}));
    m_sel->FrameRect({0, 0, 10, 10}, nullptr, 1, true); // no part 1: ignored
    QImage img = Grab();
    EXPECT_EQ(img.pixel(100, 100), kBlack);
    EXPECT_EQ(img.pixel(101, 101), kGround);
    EXPECT_EQ(img.pixel(150, 99), kGround);

    m_sel->SetPartColour(QXPanRgb(255, 0, 0), QXPanRgb(0, 0, 255), 0);
    EXPECT_EQ(m_sel->GetPartColour(0, false), QXPanRgb(255, 0, 0));
    EXPECT_EQ(m_sel->GetPartColour(0, true), QXPanRgb(0, 0, 255));
    img = Grab();
    EXPECT_EQ(img.pixel(199, 159), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(150, 130), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(200, 130), kGround);
}

/// Bounding box of the pixels of one colour (within tolerance) inside a region.
QRect InkBox(const QImage& img, const QRect& region, QRgb ink)
{
    QRect box;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qAbs(qRed(p) - qRed(ink)) < 60 && qAbs(qGreen(p) - qGreen(ink)) < 60 &&
                qAbs(qBlue(p) - qBlue(ink)) < 60)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

TEST_F(SelRectTest, ColourPreviewShowsTwoSwatchesWithTheirLabels)
{
    m_sel->setGeometry(10, 10, 241, 60);
    m_sel->show();
    m_sel->Setup(2, true, 0);
    m_sel->SetPartColour(QXPanRgb(255, 0, 0), QXPanRgb(255, 0, 0), 0);
    m_sel->SetPartColour(QXPanRgb(0, 0, 255), QXPanRgb(0, 0, 255), 1);
    m_sel->SetPartText(0, QStringLiteral("Background"), 0x000000u);
    m_sel->SetPartText(1, QStringLiteral("Text"), 0xFFFFFFu);
    const QImage img = Grab();

    EXPECT_EQ(img.pixel(10 + 120, 10 + 55), qRgb(255, 0, 0)); // swatch 0 is 0..121
    EXPECT_EQ(img.pixel(10 + 121, 10 + 55), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(10 + 241, 10 + 55), kGround);

    // Each label starts 4 pixels in from its swatch's corner, on the swatch's colour.
    const QRect black = InkBox(img, QRect(10, 10, 121, 60), kBlack);
    const QRect white = InkBox(img, QRect(131, 10, 120, 60), kWhite);
    for (const auto& [box, left] : {std::pair{black, 10}, std::pair{white, 131}}) {
        ASSERT_FALSE(box.isEmpty());
        EXPECT_TRUE(box.left() >= left + 4 && box.left() < left + 10) << box.left();
        EXPECT_GE(box.top(), 10 + 4);
    }
}

// ---------------------------------------------------------------------------------------------
// Pictures

quint32 Le32(const QByteArray& b, int at)
{
    return quint8(b[at]) | quint8(b[at + 1]) << 8 | quint8(b[at + 2]) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

TEST(EditorPictures, ObjectTypeStripHoldsSeventeenDistinctPictures)
{
    QFile file(QStringLiteral(":/qxpan/objtypes.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(quint8(bytes[28]) | quint8(bytes[29]) << 8, 24);
    EXPECT_EQ(Le32(bytes, 30), 0u); // uncompressed
    EXPECT_EQ(bytes.size(), 54 + 544 * 3 * 32);

    QImage strip;
    ASSERT_TRUE(strip.loadFromData(bytes, "BMP"));
    ASSERT_EQ(strip.size(), QSize(544, 32));
    for (int a = 0; a < 17; ++a) {
        const QImage pa = strip.copy(32 * a, 0, 32, 32);
        QSet<QRgb> colours;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                colours.insert(pa.pixel(x, y));
        EXPECT_GE(colours.size(), 2) << "picture " << a << " is blank";
        for (int b = a + 1; b < 17; ++b)
            EXPECT_NE(pa, strip.copy(32 * b, 0, 32, 32)) << a << " and " << b;
    }
}

TEST(EditorPictures, DragCursorHasAlphaAndItsTipAtTheHotSpot)
{
    const QImage cursor(QStringLiteral(":/qxpan/dragcursor.png"));
    ASSERT_EQ(cursor.size(), QSize(32, 32));
    EXPECT_TRUE(cursor.hasAlphaChannel());
    EXPECT_EQ(qAlpha(cursor.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(cursor.pixel(31, 0)), 0);
}

} // namespace
