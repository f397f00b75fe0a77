// Catches: a wrong hit, handle, edge stop, cursor, fit, paste, paint, DPI offset or readout.
#include "DesignAreaFixture.h"

#include "document/ScreenScale.h"
#include "image/CDibImage.h"

#include <QHash>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>

namespace {

constexpr QRgb kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kGrey = 0xFF808080u;
constexpr QRgb kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kGreen = 0xFF00FF00u;
const QString kSysKey = QStringLiteral("System Key(Rectangle) code 045 no. 0: ");

// The readout's "X1 .. Y1 .. X2 .. Y2 .., w × h" of a design rectangle.
QString RectText(const QXPanRect& design)
{
    ScreenScale scale;
    scale.Compute();
    const QXPanRect r = scale.DesignToRegister(design);
    return QString::asprintf("X1 %d Y1 %d X2 %d Y2 %d, %d \u00D7 %d", r.left, r.top, r.right,
                             r.bottom, r.Width(), r.Height());
}

// The colours of shot at the points "x,y x,y ...", by name.
std::string Colours(const QImage& shot, const QString& points)
{
    const QHash<QRgb, QString> names{{kBlack, "black"}, {kWhite, "white"}, {kGrey, "grey"},
                                     {kRed, "red"},     {kBlue, "blue"},   {kGreen, "green"}};
    QStringList colours;
    for (const QString& pt : points.split(' ')) {
        const QRgb colour = shot.pixel(pt.section(',', 0, 0).toInt(), pt.section(',', 1).toInt());
        colours << names.value(colour, QString::number(colour, 16));
    }
    return colours.join(' ').toStdString();
}

void Paint(CDibImage& image, int width, int height, const std::function<void(QPainter&)>& draw)
{
    image.Create(width, height, 24);
    draw(*image.AcquireSurface());
    image.ReleaseSurface();
}

TEST_F(Design, PressSelectsTheObjectUnderIt)
{
    const QXPanRect key{100, 100, 200, 150}, bmp{90, 90, 250, 200};
    for (auto [keyRect, bitmap, press, selected] :
         {std::tuple{QXPanRect{100, 100, 105, 150}, false, QPoint(102, 125), "none"}, // too narrow
          {key, false, {98, 123}, "key 0"},  // the square on the left edge
          {key, false, {98, 110}, "none"},   // beside the edge, no square
          {key, false, {202, 152}, "key 0"}, // the corner square outside
          {key, true, {150, 120}, "key 0"},  // keys before bitmaps
          {key, true, {240, 190}, "bitmap 0"}}) {
        SCOPED_TRACE(testing::Message() << press.x() << "," << press.y());
        Reset({MakeKey(keyRect)});
        if (bitmap)
            m_design.m_BmpObjs.append(MakeBitmap(1, bmp));
        Press(press);
        EXPECT_EQ(Selected(), selected);
        EXPECT_EQ(m_objDlg.m_nMode,
                  *selected == 'n' ? QXPanObj::ModeIdle : QXPanObj::ModeButtonDown);
        Release(press);
        EXPECT_EQ(m_objDlg.m_nMode, QXPanObj::ModeIdle);
    }
}

// A drag of a key by its body or one of its handles; the readout follows the frame.
TEST_F(Design, DragMovesOrResizesWithinTheRules)
{
    const QXPanRect k{100, 100, 200, 160}, s{100, 100, 150, 150};
    const std::tuple<QXPanRect, QPoint, QPoint, QPoint, QXPanRect> rows[] = {
        // start, press, move to, then to (unless null), result
        {k, {150, 130}, {233, 201}, {}, {183, 171, 283, 231}},
        {s, {125, 125}, {500, 125}, {900, 125}, {749, 100, 799, 150}}, // stops at the edge
        {s, {125, 125}, {900, 125}, {880, 125}, {729, 100, 779, 150}}, // back from it at once
        {{10, 10, 60, 40}, {30, 20}, {-50, -70}, {}, {0, 0, 50, 30}},
        {{100, 550, 150, 590}, {120, 560}, {120, 600}, {}, {100, 559, 150, 599}},
        {k, {200, 160}, {260, 190}, {}, {100, 100, 260, 190}},
        // Each handle beyond the opposite side: at least 24 against the anchor.
        {k, {199, 159}, {150, 130}, {50, 50}, {100, 100, 124, 124}},
        {k, {149, 99}, {10, 150}, {}, {100, 136, 200, 160}},
        {k, {99, 99}, {300, 300}, {}, {176, 136, 200, 160}},
        {k, {199, 99}, {1, 300}, {}, {100, 136, 124, 160}},
        {k, {99, 129}, {150, 1}, {}, {150, 100, 200, 160}},
        {k, {199, 129}, {110, 1}, {}, {100, 100, 124, 160}},
        {k, {149, 159}, {1, 1}, {}, {100, 100, 200, 124}},
        {k, {99, 159}, {300, 1}, {}, {176, 100, 200, 124}},
        {k, {150, 98}, {170, 70}, {}, {100, 70, 200, 160}},                    // the top edge only
        {{100, 100, 108, 140}, {105, 98}, {150, 50}, {}, {100, 50, 150, 140}}, // overlap: 2 wins
        {k, {199, 159}, {900, 700}, {}, {100, 100, 799, 599}}};                // kept inside
    for (const auto& [start, press, to, then, result] : rows) {
        Reset({MakeKey(start)}); // each result is its row's own
        Press(press);
        Move(to);
        if (!then.isNull())
            Move(then);
        EXPECT_EQ(m_readout.ObjectText(), kSysKey + RectText(result));
        Release(then.isNull() ? to : then);
        EXPECT_EQ(Layout(), Text(result).toStdString() + " |");
        EXPECT_EQ(m_readout.ObjectText(), kSysKey + RectText(result));
        EXPECT_TRUE(m_design.m_bModified);
    }
    EXPECT_EQ(m_objDlg.m_nMode, QXPanObj::ModeReleasedOutside);
}

TEST_F(Design, DrawnRectangleMakesAnObjectOfTheCurrentRow)
{
    const int bitmap = QXPanObj::TypePlaceBitmap, rect = QXPanObj::TypeFreeFuncRect;
    for (auto [type, to, made] :
         {std::tuple{rect, QPoint(330, 310), "|"}, // smaller than 24 x 24
          {QXPanObj::TypeFreeFuncRound, QPoint(200, 200), "200,200,300,300 | + key 0 2 DEPT 2"},
          {rect, QPoint(900, 650), "300,300,799,599 | + key 0 1 DEPT 2"},
          {bitmap, QPoint(400, 350), "| 300,300,400,350 + bitmap 0 blue"}, // stretched
          {bitmap, QPoint(900, 650), "|"}}) {                              // released outside
        Reset();
        ChooseType(type, 2);
        Drag({300, 300}, to);
        std::string shown = Layout() + (m_design.m_bModified ? " + " + Selected() : "");
        for (const CQXPanKeyObj& key : m_design.m_KeyObjs) // + what is selected, shape, text
            shown += ' ' + std::to_string(key.Shape()) + ' ' + key.GetText1().toStdString();
        if (!m_design.m_BmpObjs.isEmpty())
            shown += ' ' + Colours(Grab(), "395,345");
        EXPECT_EQ(shown, made);
    }
    Reset(); // a full screen makes nothing and says why
    m_design.m_nKeyCapacity = 0;
    ChooseType(QXPanObj::TypeTableRect);
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    Drag({100, 100}, {200, 200});
    EXPECT_EQ(Layout() + ' ' + Selected(), "| none");
    EXPECT_EQ(refusals.count(), 1);
}

TEST_F(Design, CursorFollowsHandlesAndObjects)
{
    Reset({MakeKey({100, 100, 200, 160})});
    QList<int> shapes;
    for (QPoint pt : {QPoint(300, 300), {150, 130}, {201, 161}, {201, 99}, {150, 99}, {99, 130}}) {
        Hover(pt);
        shapes << m_design.cursor().shape();
        Click({150, 130}); // selected from the second point on
    }
    EXPECT_EQ(shapes, QList<int>({Qt::ArrowCursor, Qt::SizeAllCursor, Qt::SizeFDiagCursor,
                                  Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeHorCursor}));
}

TEST_F(Design, ADroppedBitmapMustFitEntirely)
{
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    const QXPanRect natural = MakeBitmap(1).DisplayRect(); // its own size
    const int x = 799 - natural.Width();
    Drop({x + 1, 100}); // would reach the edge
    EXPECT_EQ(Layout(), "|");
    EXPECT_EQ(m_objDlg.m_nMode, QXPanObj::ModeIdle); // the drop is over all the same
    EXPECT_TRUE(refusals.at(0).at(0).toString().startsWith("The bitmap does not fit here"));
    Drop({x, 100});
    EXPECT_EQ(Layout(), "| " + Text(natural.MovedTo(x, 100)).toStdString());
    EXPECT_EQ(Grab().pixel(795, 102), kRed);
}

TEST_F(Design, ContextMenuCutCopyPasteActOnTheObjectUnderThePointer)
{
    Reset({MakeKey({100, 100, 200, 160})}, {MakeBitmap(2, {400, 400, 440, 440})});
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    Do("copy 150,130; paste 600,300; paste 700,300"); // at the press point; 700 + 100 won't fit
    EXPECT_EQ(Layout(), "100,100,200,160 600,300,700,360 | 400,400,440,440");
    EXPECT_EQ(refusals.count(), 1);
    Do("copy 650,500; paste 300,450"); // empty space: the key stays copied
    Do("copy 420,420; paste 10,10");   // the bitmap: the last copy is pasted
    EXPECT_EQ(m_design.m_BmpObjs.value(1).m_pImage, m_design.m_BmpObjs[0].m_pImage);
    Do("cut 650,330");
    EXPECT_EQ(Layout(), "100,100,200,160 300,450,400,510 | 400,400,440,440 10,10,50,50");
    EXPECT_EQ(Selected(), "none");
    EXPECT_FALSE(m_design.m_bModified); // the edit commands leave the mark alone
}

// Keys and undo wait while a row is dragged (it holds the mouse) or a button is held.
TEST_F(Design, KeysReachTheCommandsButWaitWhileBusy)
{
    Reset({MakeKey({100, 100, 200, 160})});
    Click({150, 130});
    EXPECT_TRUE(m_design.hasFocus());
    Do("Esc");
    EXPECT_EQ(Selected(), "none");
    Do("Del; click 150,130; Left; Ctrl+C");
    m_design.m_ptPaste = QPoint(500, 500);
    for (int mode : {QXPanObj::ModeDragging, QXPanObj::ModeButtonDown}) {
        m_objDlg.m_nMode = mode;
        m_design.grabMouse();
        Do("undo; Ctrl+V; Ctrl+X; Del; Left");
        m_design.releaseMouse();
    }
    EXPECT_EQ(Layout(), "99,100,199,160 |");
    m_objDlg.m_nMode = QXPanObj::ModeIdle;
    Do("undo");
    EXPECT_EQ(Layout(), "100,100,200,160 |");
    Do("Ctrl+X; Ctrl+V"); // through the Edit menu
    EXPECT_EQ(Layout(), "500,500,600,560 |");
}

// While the dialog edits key 1 of three, keys are appended (enough to move the list's storage)
// or one is deleted; the accepted text must reach the edited key wherever it is, and no other.
TEST_F(Design, AcceptedTextReachesTheEditedKeyWhileTheListChanges)
{
    m_design.m_nKeyCapacity = 400;
    for (auto [appended, deleted, texts] : {std::tuple{200, -1, "KEY0 EDITED KEY2"},
                                            {0, 0, "EDITED KEY2"},
                                            {0, 2, "KEY0 EDITED"},
                                            {0, 1, "KEY0 KEY2"}}) {
        Reset();
        for (int k = 0; k < 3; ++k) {
            m_design.m_KeyObjs.append(MakeKey({100 + 200 * k, 100, 180 + 200 * k, 160}));
            m_design.m_KeyObjs[k].SetText1(QStringLiteral("KEY%1").arg(k));
        }
        const CQXPanKeyObj* storage = m_design.m_KeyObjs.constData();
        DoubleClick({340, 130}, [&] {
            for (int n = 0; n < appended; ++n)
                m_design.AddKeyObj();
            if (deleted >= 0) { // Delete waits while the double-click holds the mode
                m_objDlg.m_nMode = QXPanObj::ModeIdle;
                m_design.m_SelRect.m_nObjIndex = deleted;
                m_design.EditCommand(CQXPanDesignDlg::kKeyDelete, 0);
                m_objDlg.m_nMode = QXPanObj::ModeButtonDown;
            }
            m_objDlg.m_edLine1->setText(QStringLiteral("EDITED"));
            QTest::mouseClick(m_objDlg.m_btnOk, Qt::LeftButton);
        });
        EXPECT_TRUE(!appended || m_design.m_KeyObjs.constData() != storage) << "the list stayed";
        QStringList shown; // the first three texts, the edited and framed key, the mode
        for (const CQXPanKeyObj& key : m_design.m_KeyObjs.mid(0, 3))
            shown << key.GetText1().trimmed();
        const int edited = deleted == 1 ? -1 : deleted == 0 ? 0 : 1;
        EXPECT_EQ(m_objDlg.EditObject(), edited < 0 ? nullptr : &m_design.m_KeyObjs[edited]);
        EXPECT_EQ(shown.join(' ') + QString::asprintf(" %d %d", m_design.m_SelRect.m_nObjIndex,
                                                      int(m_objDlg.m_nMode)),
                  QString::asprintf("%s %d %d", texts, edited, int(QXPanObj::ModeIdle)));
    }
}

TEST_F(Design, ReadoutNamesTheObjectAndFollowsThePointer)
{
    for (auto [code, shape, number, identity] :
         {std::tuple{12, 2, 5, "Free Function(Round) code 012 no. 5"},
          {93, 1, 3, "Table(Rectangle) no. 3"},
          {93, 2, 12, "Table(Round) no. 12"}}) {
        Reset({MakeKey({101, 99, 203, 151})});
        m_design.m_KeyObjs[0].SetTypeCode(quint16(code));
        m_design.m_KeyObjs[0].SetShape(quint8(shape));
        m_design.m_KeyObjs[0].SetNumber(quint32(number));
        Click({150, 120});
        const QString expected = identity + QStringLiteral(": ") + RectText({101, 99, 203, 151});
        Hover({101, 99}); // 129.28 rounds down, 126.72 up
        EXPECT_EQ(m_readout.text(), QStringLiteral("Pointer 129, 127    ") + expected);
    }
    m_design.Deselect();
    EXPECT_EQ(m_readout.text(), QStringLiteral("Pointer 129, 127"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&m_design, &leave);
    EXPECT_TRUE(m_readout.text().isEmpty());

    Reset({MakeKey({0, 0, 10, 10})}); // a record's own register rectangle is shown as it is
    m_design.m_KeyObjs[0].SetRegisterRect(2, 2, 301, 261);
    Click({100, 100});
    EXPECT_EQ(m_readout.ObjectText(), kSysKey + "X1 2 Y1 2 X2 301 Y2 261, 299 \u00D7 259");
    Key(Qt::Key_Delete);
    EXPECT_TRUE(m_readout.ObjectText().isEmpty());
    m_design.m_BmpObjs.append(MakeBitmap(1, {40, 60, 140, 110}));
    Click({90, 85});
    EXPECT_EQ(m_readout.ObjectText(), "Place Bitmap first.bmp: " + RectText({40, 60, 140, 110}));

    ChooseType(QXPanObj::TypeFreeFuncRect, 1); // a rectangle being drawn: what it will be
    m_design.Deselect();
    Press({300, 300});
    Move({320, 310}); // under the minimum: nothing yet
    EXPECT_TRUE(m_readout.ObjectText().isEmpty());
    Move({400, 380});
    EXPECT_EQ(m_readout.ObjectText(),
              "new Free Function(Rectangle): " + RectText({300, 300, 400, 380}));
    Release({400, 380});
    EXPECT_EQ(m_readout.ObjectText(),
              "Free Function(Rectangle) code 061 no. 1: " + RectText({300, 300, 400, 380}));
}

TEST_F(Design, PaintsBackgroundBitmapsAndKeysInOrder)
{
    // A background unlike the area's size in both directions.
    Paint(m_design.m_Background, 10, 3, [](QPainter& p) {
        p.fillRect(0, 0, 5, 3, QColor(kGrey));
        p.fillRect(5, 0, 5, 3, Qt::green);
    });
    Reset({MakeKey({120, 370, 180, 430})}, // first, yet above the bitmaps
          {MakeBitmap(1, {50, 300, 150, 400}), MakeBitmap(2, {100, 350, 200, 450})});
    m_design.m_KeyObjs[0].SetText1(QString());
    const QImage shot = Grab(); // the outline on the last pixels inside
    EXPECT_EQ(
        Colours(shot, "0,0 300,599 500,0 799,599 60,310 110,360 150,400 120,400 179,400 180,400"),
        "grey grey green green red blue white black black blue");
    EXPECT_NE(shot.pixel(800, 300), kGreen); // the border right of and below the area
    EXPECT_NE(shot.pixel(600, 600), kGreen);
    Click({60, 310}); // the frame on the bitmap's own edge, handles half out, white inside
    EXPECT_EQ(Colours(Grab(), "90,300 149,320 150,320 47,297 49,299 46,296 152,302 153,303"),
              "black black grey black white grey black grey");
}

// The object type strip and the drag cursor the editor shows, as built into the program.
TEST(EditorPictures, SeventeenDistinctTypePicturesAndACursorWithAlpha)
{
    const QImage strip(QStringLiteral(":/qxpan/objtypes.bmp"));
    ASSERT_EQ(strip.size(), QSize(544, 32));
    for (int a = 0; a < 17; ++a) {
        const QImage picture = strip.copy(32 * a, 0, 32, 32);
        QImage blank(picture.size(), picture.format());
        blank.fill(picture.pixel(0, 0));
        EXPECT_NE(picture, blank) << a;
        for (int b = a + 1; b < 17; ++b)
            EXPECT_NE(picture, strip.copy(32 * b, 0, 32, 32)) << a << " and " << b;
    }
    const QImage cursor(QStringLiteral(":/qxpan/dragcursor.png"));
    ASSERT_EQ(cursor.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(cursor.pixel(0, 0)), 255); // the tip at the hot spot
    EXPECT_EQ(qAlpha(cursor.pixel(31, 0)), 0);
}

// At scale 2 the picture must be the unscaled one with every pixel doubled: no half-pixel shift
// of a key's outline or of the selection frame, no smoothing; a fine background keeps its pixels.
TEST_F(Design, AtScaleTwoEveryDesignPixelIsDoubled)
{
    // Stripes above design row 50, grey below.
    Paint(m_design.m_Background, 1600, 1200, [](QPainter& p) {
        p.fillRect(0, 0, 1600, 1200, QColor(kGrey));
        for (int x = 0; x < 1600; ++x)
            p.fillRect(x, 0, 1, 100, x % 2 ? Qt::white : Qt::black);
    });
    Reset({MakeKey({100, 100, 200, 180}), MakeKey({300, 300, 302, 340}),
           MakeKey({700, 500, 799, 599}, QXPanObj::TypeSysKeyRound)});
    for (CQXPanKeyObj& key : m_design.m_KeyObjs)
        key.SetText1(QString());
    Click({150, 140});
    auto render = [this](int ratio) {
        QImage shot(QSize(801, 601) * ratio, QImage::Format_RGB32);
        shot.fill(Qt::white);
        shot.setDevicePixelRatio(ratio);
        m_design.render(&shot);
        return shot;
    };
    const QImage one = render(1), two = render(2);
    for (int x = 600; x < 620; ++x)
        EXPECT_EQ(two.pixel(x, 50), x % 2 ? kWhite : kBlack) << "device x " << x;
    for (const QRect& area : {QRect(90, 90, 120, 100), QRect(296, 296, 10, 48)})
        EXPECT_TRUE(two.copy(QRect(area.topLeft() * 2, area.size() * 2)) ==
                    one.copy(area).scaled(area.size() * 2)) // nearest pixel: each one doubled
            << area.x();
    QSet<QRgb> colours; // the ellipse: background, outline and fill only
    for (int y = 1000; y < 1198; ++y)
        for (int x = 1400; x < 1598; ++x)
            colours.insert(two.pixel(x, y));
    EXPECT_TRUE(colours.subtract({kGrey, kWhite, kBlack}).isEmpty());
}

} // namespace
