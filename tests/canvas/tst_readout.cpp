// The position readout under the design area: pointer and selected, dragged or drawn object in
// register pixels, worked out here from the rounding rules, never by the code under test.
#include "canvas/CQXPanPositionReadout.h"

#include "DesignAreaFixture.h"

#include "../objdlg/ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"
#include "canvas/CQXPanDesignDlg.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kIdle = 4;

// Design pixels to register pixels: v * n / d truncated, one more when the remainder reaches
// the integer half of d.
int ToRegister(int v, int n, int d)
{
    const int q = v * n / d, r = v * n % d;
    return q + (r >= d / 2 ? 1 : 0);
}
int RegX(int x)
{
    return ToRegister(x, 1024, 800);
}
int RegY(int y)
{
    return ToRegister(y, 768, 600);
}

// "X1 .. Y1 .. X2 .. Y2 .., w × h" of a design rectangle converted corner by corner.
QString RectText(const QXPanRect& design)
{
    const int l = RegX(design.left), t = RegY(design.top), r = RegX(design.right),
              b = RegY(design.bottom);
    return QStringLiteral("X1 %1 Y1 %2 X2 %3 Y2 %4, %5 \u00D7 %6")
        .arg(l)
        .arg(t)
        .arg(r)
        .arg(b)
        .arg(r - l)
        .arg(b - t);
}

CQXPanKeyObj MakeKey(const QXPanRect& r, int code, int shape, int number)
{
    CQXPanKeyObj key;
    key.SetDisplayRect(r);
    key.SetShape(quint8(shape));
    key.SetTypeCode(quint16(code));
    key.SetNumber(quint32(number));
    key.SetFillColour(0xFFFFFFu, true);
    return key;
}

class Readout : public DesignAreaFixture
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(WireDesignArea(false));
        m_readout.Attach(&m_design);
        m_design.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_design));
        m_objDlg.m_nMode = kIdle;
    }

    void Press(QPoint pt) { QTest::mousePress(&m_design, Qt::LeftButton, {}, pt); }
    void Move(QPoint pt) { QTest::mouseMove(&m_design, pt); }
    void Release(QPoint pt) { QTest::mouseRelease(&m_design, Qt::LeftButton, {}, pt); }
    // A move without a button, sent as it is: QTest would take (0, 0) for the middle and drop
    // a move to where the cursor already is.
    void Hover(QPoint pt)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(pt), m_design.mapToGlobal(QPointF(pt)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_design, &move);
    }

    CQXPanPositionReadout m_readout;
};

// --- The pointer ------------------------------------------------------------------------

struct PointerCase
{
    const char* name;
    QPoint design;
};

class PointerReadout : public Readout, public ::testing::WithParamInterface<PointerCase>
{};

TEST_P(PointerReadout, ShowsThePointerInRegisterPixels)
{
    const QPoint pt = GetParam().design;
    Hover(pt);
    EXPECT_EQ(m_readout.PointerText(),
              QStringLiteral("Pointer %1, %2").arg(RegX(pt.x())).arg(RegY(pt.y())));
    EXPECT_EQ(m_readout.text(), m_readout.PointerText());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&m_design, &leave);
    EXPECT_TRUE(m_readout.PointerText().isEmpty());
    EXPECT_TRUE(m_readout.text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Readout, PointerReadout,
    ::testing::Values(PointerCase{"Origin", {0, 0}}, PointerCase{"Middle", {400, 300}},
                      PointerCase{"LastPixel", {799, 599}},    // 1022.72 and 766.72 round up
                      PointerCase{"TwoRoundsUp", {2, 2}},      // 2.56 to 3
                      PointerCase{"MixedRounding", {101, 99}}, // 129.28 down, 126.72 up
                      PointerCase{"DownAndExact", {5, 25}}),   // 6.4 down, 32 exact
    [](const ::testing::TestParamInfo<PointerCase>& info) { return std::string(info.param.name); });

// --- A selected object ------------------------------------------------------------------

struct SelectCase
{
    const char* name;
    QXPanRect design;
    int code;
    int shape;
    int number;
    const char* identity; // what the readout calls it
};

class SelectedObject : public Readout, public ::testing::WithParamInterface<SelectCase>
{};

TEST_P(SelectedObject, ShowsItsRegisterRectangleAndWhatItIs)
{
    const SelectCase& c = GetParam();
    m_design.m_KeyObjs.append(MakeKey(c.design, c.code, c.shape, c.number));
    const QPoint inside((c.design.left + c.design.right) / 2, (c.design.top + c.design.bottom) / 2);
    Press(inside);
    const QString expected =
        QString::fromLatin1(c.identity) + QStringLiteral(": ") + RectText(c.design);
    EXPECT_EQ(m_readout.ObjectText(), expected);
    Release(inside);
    EXPECT_EQ(m_readout.ObjectText(), expected);
    Hover(inside);
    EXPECT_EQ(m_readout.text(), m_readout.PointerText() + QStringLiteral("    ") + expected);

    m_design.Deselect();
    EXPECT_TRUE(m_readout.ObjectText().isEmpty());
    EXPECT_EQ(m_readout.text(), m_readout.PointerText());
}

INSTANTIATE_TEST_SUITE_P(
    Readout, SelectedObject,
    ::testing::Values(
        // 100 * 1024 / 800 = 128 and 100 * 768 / 600 = 128: (128, 128, 256, 192), 128 × 64.
        SelectCase{
            "SystemKey", {100, 100, 200, 150}, 45, 1, 0, "System Key(Rectangle) code 045 no. 0"},
        SelectCase{"FreeFunctionRound",
                   {101, 99, 203, 151},
                   12,
                   2,
                   5,
                   "Free Function(Round) code 012 no. 5"},
        SelectCase{"TableShowsItsNumberOnly", {0, 0, 799, 599}, 93, 1, 3, "Table(Rectangle) no. 3"},
        SelectCase{"RoundTable", {333, 222, 444, 277}, 93, 2, 12, "Table(Round) no. 12"}),
    [](const ::testing::TestParamInfo<SelectCase>& info) { return std::string(info.param.name); });

TEST_F(Readout, KeyFromTheRegisterKeepsItsOwnRectangle)
{
    // A record's register rectangle that no design rectangle converts to: the readout shows the
    // record, not a round trip through design pixels.
    CQXPanKeyObj key = MakeKey({0, 0, 10, 10}, 45, 1, 0);
    key.SetRegisterRect(2, 2, 301, 261);
    ASSERT_NE(RegX(key.DisplayRect().left), 2); // 2 shows at 2, which converts back to 3
    m_design.m_KeyObjs.append(key);
    const QXPanRect d = key.DisplayRect();
    Press({(d.left + d.right) / 2, (d.top + d.bottom) / 2});
    EXPECT_EQ(m_readout.ObjectText(),
              QStringLiteral("System Key(Rectangle) code 045 no. 0: X1 2 Y1 2 X2 301 Y2 261, "
                             "299 \u00D7 259"));
}

// --- Dragging and drawing ---------------------------------------------------------------

TEST_F(Readout, FollowsADragStepByStepAndShowsWhatTheReleaseStores)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 150}, 45, 1, 0));
    const QString identity = QStringLiteral("System Key(Rectangle) code 045 no. 0: ");
    Press({150, 125});
    for (int step = 1; step <= 10; ++step) {
        const int dx = 13 * step, dy = 7 * step;
        Move({150 + dx, 125 + dy});
        EXPECT_EQ(m_readout.ObjectText(),
                  identity + RectText({100 + dx, 100 + dy, 200 + dx, 150 + dy}))
            << "step " << step;
        EXPECT_EQ(m_readout.PointerText(),
                  QStringLiteral("Pointer %1, %2").arg(RegX(150 + dx)).arg(RegY(125 + dy)));
    }
    // Far beyond the right edge the object stops with its right edge on 799.
    Move({1000, 195});
    EXPECT_EQ(m_readout.ObjectText(), identity + RectText({699, 170, 799, 220}));
    Release({1000, 195});
    const QXPanRect stored = m_design.m_KeyObjs[0].RegisterRect();
    EXPECT_EQ(m_readout.ObjectText(), identity + RectText({699, 170, 799, 220}));
    EXPECT_EQ(stored, (QXPanRect{RegX(699), RegY(170), RegX(799), RegY(220)}));
}

TEST_F(Readout, FollowsAResize)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 150}, 45, 1, 0));
    const QString identity = QStringLiteral("System Key(Rectangle) code 045 no. 0: ");
    Press({200, 150}); // the bottom-right handle
    Move({260, 190});
    EXPECT_EQ(m_readout.ObjectText(), identity + RectText({100, 100, 260, 190}));
    // Up and left beyond the opposite corner: a 24 x 24 object.
    Move({20, 20});
    EXPECT_EQ(m_readout.ObjectText(), identity + RectText({100, 100, 124, 124}));
    Release({20, 20});
    EXPECT_EQ(m_design.m_KeyObjs[0].DisplayRect(), (QXPanRect{100, 100, 124, 124}));
}

TEST_F(Readout, ARectangleBeingDrawnShowsWhatItWillBecome)
{
    m_objDlg.m_nObjType = CQXPanObjDlg::TypeFreeFuncRect;
    m_objDlg.SelectRow(1);
    Press({300, 300});
    Move({320, 310}); // under 24 pixels: nothing drawn yet
    EXPECT_TRUE(m_readout.ObjectText().isEmpty());
    Move({400, 380});
    EXPECT_EQ(m_readout.ObjectText(),
              QStringLiteral("new Free Function(Rectangle): ") + RectText({300, 300, 400, 380}));
    Release({400, 380});
    ASSERT_EQ(m_design.m_KeyObjs.size(), 1);
    const CQXPanKeyObj& key = m_design.m_KeyObjs[0];
    EXPECT_EQ(m_readout.ObjectText(), QStringLiteral("Free Function(Rectangle) code %1 no. %2: ")
                                              .arg(key.TypeCode(), 3, 10, QLatin1Char('0'))
                                              .arg(key.GetNumber()) +
                                          RectText({300, 300, 400, 380}));
    EXPECT_NE(key.TypeCode(), 0); // the row gave it a function
}

TEST_F(Readout, PlacedBitmapShowsItsFile)
{
    m_objDlg.m_nObjType = CQXPanObjDlg::TypePlaceBitmap;
    m_objDlg.SelectRow(1);
    CQXPanBmpObj bitmap;
    ASSERT_EQ(m_objDlg.ApplyItemToBitmap(bitmap), 1);
    bitmap.SetDisplayRect({40, 60, 140, 110});
    m_design.AddBmpObj(bitmap);
    m_objDlg.m_nObjType = CQXPanObjDlg::TypeBackground;
    Press({90, 85});
    EXPECT_EQ(m_readout.ObjectText(),
              QStringLiteral("Place Bitmap %1: ").arg(bitmap.m_strFileName) +
                  RectText({40, 60, 140, 110}));
    EXPECT_FALSE(bitmap.m_strFileName.isEmpty());
}

TEST_F(Readout, DeleteClearsTheObject)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 150}, 45, 1, 0));
    Press({150, 125});
    Release({150, 125});
    ASSERT_FALSE(m_readout.ObjectText().isEmpty());
    m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0);
    EXPECT_TRUE(m_design.m_KeyObjs.isEmpty());
    EXPECT_TRUE(m_readout.ObjectText().isEmpty());
}

} // namespace
