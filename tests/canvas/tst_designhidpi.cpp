// The design area on a scaled screen (QT_SCALE_FACTOR=2): the same 800 x 600 picture, drawn
// with twice the device pixels, edges still one device pixel sharp and in the same place.

#include "canvas/CQXPanDesignDlg.h"

#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr QRgb kGrey = 0xFF808080u;
constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QXPanColor kRedFill = 0x0000FFu; // red in the low byte

CQXPanKeyObj MakeKey(const QXPanRect& r, quint8 shape)
{
    CQXPanKeyObj key;
    key.SetDisplayRect(r);
    key.SetShape(shape);
    key.SetFillColour(kRedFill, true);
    key.SetTextColour(0x000000u, true);
    return key;
}

class DesignAreaScaled : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_design.resize(801, 601);
        m_design.OnInitDialog();
        SetBackground(8, 6, [](QPainter& p) { p.fillRect(0, 0, 8, 6, QColor(kGrey)); });
    }

    template <typename Draw> void SetBackground(int width, int height, Draw draw)
    {
        m_design.m_Background.Create(width, height, 24);
        QPainter* painter = m_design.m_Background.AcquireSurface();
        draw(*painter);
        m_design.m_Background.ReleaseSurface();
    }

    // The design area (with its frame window) as the window system would get it at this ratio.
    QImage Render(int ratio)
    {
        QImage shot(QSize(801, 601) * ratio, QImage::Format_RGB32);
        shot.fill(Qt::white);
        shot.setDevicePixelRatio(ratio);
        m_design.render(&shot);
        return shot;
    }

    QTemporaryDir m_dir;
    CQXPanDesignDlg m_design;
};

// Every design-area pixel of `area` at ratio 2 is a 2 x 2 block of one colour, the colour that
// pixel has at ratio 1. Returns the first pixel that breaks this, or (-1, -1).
QPoint FirstBlockMismatch(const QImage& one, const QImage& two, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb expected = one.pixel(x, y);
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx)
                    if (two.pixel(2 * x + dx, 2 * y + dy) != expected)
                        return {x, y};
        }
    }
    return {-1, -1};
}

// Rectangular shapes have whole design-area pixels as edges: at ratio 2 they must come out as
// the ratio-1 picture with every pixel doubled, nothing shifted by half a pixel, nothing blurred.
struct DoubledCase
{
    const char* name;
    QXPanRect key;   // a rectangle key, or empty for none
    QXPanRect frame; // the selection frame with handles, or empty for none
    QRect area;      // design-area pixels compared
};

void PrintTo(const DoubledCase& c, std::ostream* os)
{
    *os << c.name;
}

class DesignAreaDoubled : public DesignAreaScaled, public ::testing::WithParamInterface<DoubledCase>
{};

TEST_P(DesignAreaDoubled, IsTheUnscaledPictureWithEveryPixelDoubled)
{
    const DoubledCase& c = GetParam();
    if (!c.key.IsRectEmpty())
        m_design.m_KeyObjs.append(MakeKey(c.key, 1));
    if (!c.frame.IsRectEmpty()) {
        m_design.m_SelRect.FrameRect(c.frame, nullptr, 0, true);
        m_design.m_SelRect.show();
    }
    const QImage one = Render(1);
    const QImage two = Render(2);
    ASSERT_EQ(two.size(), QSize(1602, 1202));
    const QPoint bad = FirstBlockMismatch(one, two, c.area);
    EXPECT_EQ(bad, QPoint(-1, -1))
        << "design-area pixel (" << bad.x() << ", " << bad.y() << ") is not doubled";
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, DesignAreaDoubled,
    ::testing::Values(
        DoubledCase{"RectangleKey", {100, 100, 200, 180}, {}, QRect(95, 95, 110, 90)},
        DoubledCase{"OnePixelNarrowKey", {300, 300, 302, 340}, {}, QRect(296, 296, 10, 48)},
        DoubledCase{"KeyInTheCorner", {700, 500, 800, 600}, {}, QRect(690, 490, 111, 111)},
        // The frame with its eight 6 x 6 handles around a selected key.
        DoubledCase{
            "SelectionFrame", {100, 100, 200, 180}, {100, 100, 200, 180}, QRect(90, 90, 120, 100)}),
    [](const ::testing::TestParamInfo<DoubledCase>& info) { return info.param.name; });

// Across the left edge of a key at its middle row: background, the outline, the fill, with no
// colour in between, and the outline on exactly the two device pixels of design-area pixel l.
struct EdgeCase
{
    const char* name;
    quint8 shape;
};

void PrintTo(const EdgeCase& c, std::ostream* os)
{
    *os << c.name;
}

class DesignAreaEdge : public DesignAreaScaled, public ::testing::WithParamInterface<EdgeCase>
{};

TEST_P(DesignAreaEdge, LeftEdgeIsOneDevicePixelSharp)
{
    const QXPanRect r{100, 100, 200, 180};
    m_design.m_KeyObjs.append(MakeKey(r, GetParam().shape));
    const QImage two = Render(2);
    const int y = (r.top + r.bottom); // the middle row in device pixels
    for (int x = 2 * r.left - 6; x < 2 * r.left; ++x)
        EXPECT_EQ(two.pixel(x, y), kGrey) << "device x " << x;
    EXPECT_EQ(two.pixel(2 * r.left, y), kBlack);
    EXPECT_EQ(two.pixel(2 * r.left + 1, y), kBlack);
    for (int x = 2 * r.left + 2; x < 2 * r.left + 8; ++x)
        EXPECT_EQ(two.pixel(x, y), kRed) << "device x " << x;
    // The right edge: the outline on the two device pixels of r - 1, background after it.
    EXPECT_EQ(two.pixel(2 * r.right - 3, y), kRed);
    EXPECT_EQ(two.pixel(2 * r.right - 2, y), kBlack);
    EXPECT_EQ(two.pixel(2 * r.right - 1, y), kBlack);
    EXPECT_EQ(two.pixel(2 * r.right, y), kGrey);

    // Nothing but the three colours anywhere on the key: no smoothing of its edges.
    QSet<QRgb> colours;
    for (int yy = 2 * r.top - 4; yy < 2 * r.bottom + 4; ++yy)
        for (int x = 2 * r.left - 4; x < 2 * r.right + 4; ++x)
            colours.insert(two.pixel(x, yy));
    EXPECT_TRUE(colours.subtract({kGrey, kBlack, kRed}).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Shapes, DesignAreaEdge,
                         ::testing::Values(EdgeCase{"Rectangle", 1}, EdgeCase{"Ellipse", 2}),
                         [](const ::testing::TestParamInfo<EdgeCase>& info) {
                             return info.param.name;
                         });

// A background with as many pixels as the scaled area has device pixels shows every one of
// them: it is drawn at the device resolution, not at 800 x 600 and then enlarged.
TEST_F(DesignAreaScaled, BackgroundUsesEveryDevicePixel)
{
    SetBackground(1600, 1200, [](QPainter& p) {
        p.fillRect(0, 0, 1600, 1200, Qt::white);
        for (int x = 0; x < 1600; x += 2)
            p.fillRect(x, 0, 1, 1200, Qt::black);
    });
    const QImage two = Render(2);
    for (int x = 600; x < 620; ++x) {
        EXPECT_EQ(two.pixel(x, 700), x % 2 == 0 ? kBlack : 0xFFFFFFFFu) << "device x " << x;
    }
}

} // namespace
