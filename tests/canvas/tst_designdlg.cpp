#include "canvas/CQXPanDesignDlg.h"

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr QRgb kBlack = 0xFF000000u;

// A picture of one colour, as a placed bitmap or background holds it.
std::unique_ptr<CDibImage> SolidImage(int width, int height, QRgb colour)
{
    auto image = std::make_unique<CDibImage>();
    EXPECT_TRUE(image->Create(width, height, 24));
    QPainter* painter = image->AcquireSurface();
    EXPECT_NE(painter, nullptr);
    painter->fillRect(0, 0, width, height, QColor::fromRgb(colour));
    image->ReleaseSurface();
    return image;
}

// A key given by its display rectangle, shape byte, fill and texts.
CQXPanKeyObj MakeKey(const QXPanRect& r, quint8 shape, QXPanColor fill,
                     const QString& text1 = QString(), const QString& text2 = QString())
{
    CQXPanKeyObj key;
    key.SetDisplayRect(r);
    key.SetShape(shape);
    key.SetFillColour(fill, true);
    key.SetTextColour(0x000000u, true);
    key.SetText1(text1);
    key.SetText2(text2);
    return key;
}

class DesignArea : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_design.resize(801, 601);
        m_design.OnInitDialog();
        // A grey background, so that every pixel the design leaves alone is known.
        m_design.m_Background.Create(8, 6, 24);
        QPainter* painter = m_design.m_Background.AcquireSurface();
        painter->fillRect(0, 0, 8, 6, QColor(0x80, 0x80, 0x80));
        m_design.m_Background.ReleaseSurface();
    }

    QImage Grab() { return m_design.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QTemporaryDir m_dir;
    CQXPanDesignDlg m_design;
};

constexpr QRgb kGrey = 0xFF808080u;
constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;
constexpr QXPanColor kRedFill = 0x0000FFu; // red in the low byte

TEST_F(DesignArea, BackgroundIsStretchedOverTheWholeDesignRectangle)
{
    // Left half blue, right half green, at a size unlike the area's in both directions.
    m_design.m_Background.Create(10, 3, 24);
    QPainter* painter = m_design.m_Background.AcquireSurface();
    painter->fillRect(0, 0, 5, 3, Qt::blue);
    painter->fillRect(5, 0, 5, 3, Qt::green);
    m_design.m_Background.ReleaseSurface();

    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(0, 0), kBlue);
    EXPECT_EQ(shot.pixel(300, 599), kBlue);
    EXPECT_EQ(shot.pixel(500, 0), 0xFF00FF00u);
    EXPECT_EQ(shot.pixel(799, 599), 0xFF00FF00u);
    // The one-pixel border lies right of and below the design rectangle.
    EXPECT_NE(shot.pixel(800, 300), 0xFF00FF00u);
    EXPECT_NE(shot.pixel(400, 600), kBlue);
}

// Shape byte -> what shows at the centre, on the left edge's middle and in the corner.
struct ShapeCase
{
    quint8 shape;
    QRgb centre;
    QRgb leftEdge;
    QRgb corner;
};

class DesignAreaShapes : public DesignArea, public ::testing::WithParamInterface<ShapeCase>
{};

TEST_P(DesignAreaShapes, KeyIsPaintedByItsShapeByte)
{
    const ShapeCase& c = GetParam();
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 180}, c.shape, kRedFill));
    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(150, 140), c.centre);
    EXPECT_EQ(shot.pixel(100, 140), c.leftEdge);
    EXPECT_EQ(shot.pixel(101, 101), c.corner);
    // Right and bottom lie outside the shape.
    EXPECT_EQ(shot.pixel(200, 140), kGrey);
    EXPECT_EQ(shot.pixel(150, 180), kGrey);
}

INSTANTIATE_TEST_SUITE_P(Shapes, DesignAreaShapes,
                         ::testing::Values(ShapeCase{0, kGrey, kGrey, kGrey},
                                           ShapeCase{1, kRed, kBlack, kRed},
                                           ShapeCase{2, kRed, kBlack, kGrey},
                                           ShapeCase{3, kGrey, kGrey, kGrey}));

TEST_F(DesignArea, RectangleOutlineRunsAlongItsLastInsidePixels)
{
    m_design.m_KeyObjs.append(MakeKey({100, 100, 200, 180}, 1, kRedFill));
    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(199, 140), kBlack);
    EXPECT_EQ(shot.pixel(150, 179), kBlack);
    EXPECT_EQ(shot.pixel(150, 100), kBlack);
    EXPECT_EQ(shot.pixel(198, 178), kRed);
}

TEST_F(DesignArea, LaterPlacedBitmapCoversEarlierAndKeysCoverAllBitmaps)
{
    auto red = SolidImage(10, 10, kRed);
    auto blue = SolidImage(10, 10, kBlue);
    CQXPanBmpObj first;
    first.SetImage(red.get());
    first.SetDisplayRect({50, 300, 150, 400});
    CQXPanBmpObj second;
    second.SetImage(blue.get());
    second.SetDisplayRect({100, 350, 200, 450});
    // The key comes first in its array but still lies above both bitmaps.
    m_design.m_KeyObjs.append(MakeKey({120, 370, 180, 430}, 1, 0xFFFFFFu));
    m_design.m_BmpObjs.append(first);
    m_design.m_BmpObjs.append(second);

    const QImage shot = Grab();
    EXPECT_EQ(shot.pixel(60, 310), kRed);
    EXPECT_EQ(shot.pixel(110, 360), kBlue);
    EXPECT_EQ(shot.pixel(150, 400), 0xFFFFFFFFu);
    EXPECT_EQ(shot.pixel(120, 400), kBlack);
    // A bitmap without an image is skipped.
    CQXPanBmpObj empty;
    empty.SetDisplayRect({300, 300, 400, 400});
    m_design.m_BmpObjs.append(empty);
    EXPECT_EQ(Grab().pixel(350, 350), kGrey);
}

// Rows of a key's box that hold pixels of the text colour.
QList<int> InkRows(const QImage& shot, const QXPanRect& r)
{
    QList<int> rows;
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        for (int x = r.left + 1; x < r.right - 1; ++x) {
            if (qGray(shot.pixel(x, y)) < 100) {
                rows.append(y);
                break;
            }
        }
    }
    return rows;
}

TEST_F(DesignArea, FirstLineSitsAboveTheMiddleAndSecondBelow)
{
    const QXPanRect r{300, 100, 500, 200}; // middle at y = 150
    m_design.m_KeyObjs.append(MakeKey(r, 1, 0xFFFFFFu, QStringLiteral("WWW")));
    QList<int> rows = InkRows(Grab(), r);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_GE(rows.first(), 150 - 16);
    EXPECT_LT(rows.last(), 150);

    m_design.m_KeyObjs[0].SetText1(QString());
    m_design.m_KeyObjs[0].SetText2(QStringLiteral("WWW"));
    rows = InkRows(Grab(), r);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_GE(rows.first(), 150);
    EXPECT_LT(rows.last(), 150 + 16);
}

TEST_F(DesignArea, LabelIsCentredAndShownWithoutShape)
{
    const QXPanRect r{300, 100, 500, 200};
    m_design.m_KeyObjs.append(MakeKey(r, 0, kRedFill, QStringLiteral("MMMM")));
    const QImage shot = Grab();
    int left = 800;
    int right = -1;
    for (int y = 134; y < 150; ++y) {
        for (int x = 250; x < 550; ++x) {
            if (qGray(shot.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    ASSERT_GE(right, left);
    EXPECT_LE(std::abs((left + right) / 2 - 400), 2) << left << ".." << right;
    // No shape: the fill does not show.
    EXPECT_EQ(shot.pixel(310, 190), kGrey);
}

TEST_F(DesignArea, ItemListChangeMarksModifiedExceptDuringImageTypeSwitch)
{
    m_design.OnItemListChanged();
    EXPECT_FALSE(m_design.m_bModified) << "without the properties dialog nothing happens";

    CQXPanObjDlg objDlg;
    m_design.SetObjDlg(&objDlg);
    objDlg.m_nMode = 2;
    m_design.OnItemListChanged();
    EXPECT_FALSE(m_design.m_bModified);
    objDlg.m_nMode = 4;
    m_design.OnItemListChanged();
    EXPECT_TRUE(m_design.m_bModified);
}

} // namespace
