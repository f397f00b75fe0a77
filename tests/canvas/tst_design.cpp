// Catches: a wrong hit, handle, edge stop, fit, paste, paint order, empty list or readout.
#include "DesignAreaFixture.h"

#include "document/ScreenScale.h"

#include <QPainter>
#include <QSignalSpy>

namespace {

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

// The colours (RRGGBB) of the design area at the points "x,y x,y ...".
std::string Colours(const QImage& shot, const QString& points)
{
    QStringList colours;
    for (const QString& pt : points.split(' '))
        colours << QString::asprintf(
            "%06x",
            shot.pixel(pt.section(',', 0, 0).toInt(), pt.section(',', 1).toInt()) & 0xFFFFFFu);
    return colours.join(' ').toStdString();
}

TEST_F(Design, PressSelectsTheObjectUnderIt)
{
    const QXPanRect key{100, 100, 200, 150}, bmp{90, 90, 250, 200};
    for (auto [keyRect, bitmap, press, selected] :
         {std::tuple{QXPanRect{100, 100, 105, 150}, false, QPoint(102, 125), "none 4"}, // narrow
          {key, false, {98, 123}, "key 0 5"},  // the square on the left edge
          {key, false, {98, 110}, "none 4"},   // beside the edge, no square
          {key, false, {202, 152}, "key 0 5"}, // the corner square outside
          {key, true, {150, 120}, "key 0 5"},  // keys before bitmaps; held down
          {key, true, {240, 190}, "bitmap 0 5"}}) {
        SCOPED_TRACE(testing::Message() << press.x() << "," << press.y());
        Reset({MakeKey(keyRect)}, bitmap ? QList{MakeBitmap(1, bmp)} : QList<CQXPanBmpObj>{});
        Press(press);
        EXPECT_EQ(Selected() + ' ' + std::to_string(m_objDlg.m_nMode), selected);
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
        Reset({MakeKey(start)});
        Press(press);
        Move(to);
        if (!then.isNull())
            Move(then);
        EXPECT_EQ(m_readout.ObjectText(), kSysKey + RectText(result));
        Release(then.isNull() ? to : then);
        EXPECT_EQ(Layout() + std::to_string(m_design.m_bModified),
                  Text(result).toStdString() + " |1");
    }
    EXPECT_EQ(m_objDlg.m_nMode, QXPanObj::ModeReleasedOutside);
}

TEST_F(Design, DrawnRectangleMakesAnObjectOfTheCurrentRowUnlessNoneCanBe)
{
    const int bitmap = QXPanObj::TypePlaceBitmap, rect = QXPanObj::TypeFreeFuncRect;
    for (auto [type, to, made] :
         {std::tuple{rect, QPoint(330, 310), "|"}, // smaller than 24 x 24
          {QXPanObj::TypeFreeFuncRound, QPoint(200, 200), "200,200,300,300 | + key 0 2 DEPT 2"},
          {rect, QPoint(900, 650), "300,300,799,599 | + key 0 1 DEPT 2"},
          {bitmap, QPoint(400, 350), "| 300,300,400,350 + bitmap 0 0000ff"}, // stretched
          {bitmap, QPoint(900, 650), "|"}}) {                                // released outside
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
    // An empty system-key list (its header row only): nothing made, framed, marked or said.
    Reset();
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    ASSERT_TRUE(QFile(m_branch.Path("data/funckey.txt")).resize(0));
    ASSERT_EQ(m_objDlg.LoadReferenceData(nullptr), 1);
    ChooseType(QXPanObj::TypeSysKeyRect);
    Drag({100, 100}, {200, 200});
    EXPECT_EQ(Layout() + ' ' + Selected() + std::to_string(m_design.m_bModified), "| none0");
    m_design.m_nKeyCapacity = 0; // a full screen makes nothing and says why
    ChooseType(QXPanObj::TypeTableRect);
    Drag({100, 100}, {200, 200});
    EXPECT_EQ(Layout() + ' ' + Selected(), "| none");
    EXPECT_EQ(refusals.count(), 1);
}

TEST_F(Design, ADroppedBitmapMustFitEntirely)
{
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    const QXPanRect natural = MakeBitmap(1).DisplayRect(); // its own size
    const int x = 799 - natural.Width();
    Do(QStringLiteral("drop %1,100").arg(x + 1));                 // would reach the edge
    EXPECT_EQ(Layout() + std::to_string(m_objDlg.m_nMode), "|4"); // idle: the drop is over
    EXPECT_TRUE(refusals.at(0).at(0).toString().startsWith("The bitmap does not fit here"));
    Do(QStringLiteral("drop %1,100").arg(x));
    EXPECT_EQ(Layout(), "| " + Text(natural.MovedTo(x, 100)).toStdString());
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

std::string Sel(const CQXPanDesignDlg& d)
{
    QStringList s;
    for (int i : d.Selection())
        s << QString::number(i);
    return s.join(',').toStdString();
}

// Ctrl+click, the marquee, Ctrl+A and Tab select; the selected keys move (kept on the screen as a
// group), are deleted, copied and pasted together, each as one step, in register pixels.
TEST_F(Design, SeveralSelectedKeysActTogether)
{
    Reset({MakeKey({100, 100, 200, 160}), MakeKey({300, 100, 400, 160}),
           MakeKey({500, 300, 600, 360})});
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    Do("ctrl 150,130; ctrl 350,130; ctrl 150,130");
    EXPECT_EQ(Sel(m_design) + ' ' + Selected(), "1 key 1"); // the first one left is the reference
    Do("ctrl 150,130; shift 50,50 450,170");
    EXPECT_EQ(Sel(m_design), "0,1");
    const auto regs = [this] {
        QStringList s;
        for (const CQXPanKeyObj& key : m_design.m_KeyObjs)
            s << Text(key.RegisterRect());
        return s.join(' ').toStdString();
    };
    ASSERT_EQ(regs(), "128,128,256,205 384,128,512,205 640,384,768,461");
    EXPECT_TRUE(m_readout.text().contains("2 selected: X1 128 Y1 128 X2 512 Y2 205, 384 \u00D7 77"))
        << m_readout.text().toStdString();
    Do("drag 350,130 790,130");
    Do("Right"); // stops with the group's right edge on the screen's
    EXPECT_EQ(regs(), "639,128,767,205 895,128,1023,205 640,384,768,461");
    Do("Shift+Left; Down");
    EXPECT_EQ(regs(), "626,129,754,206 882,129,1010,206 640,384,768,461");
    EXPECT_EQ(m_design.UndoStack().count(), 3);
    const std::string moved = Layout();
    Do("Ctrl+A; Del");
    EXPECT_EQ(Layout() + Sel(m_design), "|");
    Do("undo");
    EXPECT_EQ(Layout() + ' ' + Sel(m_design), moved + " 0,1,2");
    const std::string three = regs();
    Do("Ctrl+C; paste 10,300"); // the group's top-left corner goes to the paste point
    EXPECT_EQ(regs(), three + " 13,384,141,461 269,384,397,461 27,639,155,716");
    EXPECT_EQ(Sel(m_design), "3,4,5");
    const auto texts = [this] {
        QStringList t;
        for (const CQXPanKeyObj& key : m_design.m_KeyObjs)
            t << key.GetText1();
        return t.join(',').toStdString();
    };
    const std::string plain = texts();
    DoubleClick({260, 330}, [this] { // a text typed for one of them goes to all three
        m_objDlg.m_edLine1->setText(QStringLiteral("EDITED"));
        QTest::mouseClick(m_objDlg.m_btnOk, Qt::LeftButton);
    });
    const QString k = QString::fromStdString(plain).section(',', 0, 0);
    EXPECT_EQ(texts(),
              QStringList({k, k, k, "EDITED", "EDITED", "EDITED"}).join(',').toStdString());
    Do("undo");
    EXPECT_EQ(texts(), plain);
    m_design.m_nKeyCapacity = 8;
    Do("paste 10,10");
    EXPECT_EQ(m_design.m_KeyObjs.size(), 6);
    EXPECT_EQ(refusals.count(), 1);
    m_design.setFocus();
    Do("Esc; Tab; Tab");
    EXPECT_EQ(Sel(m_design), "1");
    // While "Place Bitmap" is shown, Ctrl+A and Delete take the placed bitmaps, not the keys.
    Reset({MakeKey({100, 100, 200, 160})},
          {MakeBitmap(1, {300, 300, 340, 320}), MakeBitmap(2, {400, 400, 410, 410})});
    m_objDlg.m_nObjType = QXPanObj::TypePlaceBitmap;
    Do("Ctrl+A");
    EXPECT_EQ(Sel(m_design) + ' ' + Selected(), "0,1 bitmap 0");
    Do("Del");
    EXPECT_EQ(Layout(), "100,100,200,160 |");
}

// With the grid of 32 register pixels shown, a move lands the corner on the grid, a resize the
// edges it moved, a drawn key every edge; Fill with Keys replaces the selected key in one step.
TEST_F(Design, TheGridSnapsAndFillReplacesTheSelectedKey)
{
    Reset({MakeKey({100, 100, 200, 160})});
    m_design.SetGrid(true, 32);
    const auto regs = [this] {
        QStringList s;
        for (const CQXPanKeyObj& key : m_design.m_KeyObjs)
            s << Text(key.RegisterRect());
        return s.join(' ').toStdString();
    };
    Do("drag 150,130 163,141");
    EXPECT_EQ(regs(), "160,128,288,205");
    Do("drag 225,160 262,201; drag 50,400 150,470");
    EXPECT_EQ(regs(), "160,128,320,256 64,512,192,608");
    m_design.SetGrid(false, 32);
    QSignalSpy refusals(&m_design, &CQXPanDesignDlg::Refused);
    m_design.m_nKeyCapacity = 6;
    Do("click 100,450");
    EXPECT_FALSE(m_design.FillWithKeys(2, 3, 8)); // 1 + 6 keys: one too many
    m_design.m_nKeyCapacity = 7;
    EXPECT_FALSE(m_design.FillWithKeys(2, 3, 60)); // cells narrower than a drawn key
    EXPECT_TRUE(m_design.FillWithKeys(2, 3, 8));
    // 128 x 96 pixels: columns of (128 - 2 * 8) / 3 = 37, rows of (96 - 8) / 2 = 44.
    EXPECT_EQ(regs(), "160,128,320,256 64,512,101,556 109,512,146,556 154,512,191,556 "
                      "64,564,101,608 109,564,146,608 154,564,191,608");
    EXPECT_EQ(Sel(m_design), "1,2,3,4,5,6");
    EXPECT_EQ(refusals.count(), 2);
    Do("undo");
    EXPECT_EQ(regs(), "160,128,320,256 64,512,192,608");
}

// While the dialog edits key 1 of three, keys are appended (enough to move the list's storage)
// or one is deleted; the accepted text must reach the edited key wherever it is, and no other.
TEST_F(Design, AcceptedTextReachesTheEditedKeyWhileTheListChanges)
{
    m_design.m_nKeyCapacity = 400;
    for (auto [appended, deleted, texts] : {std::tuple{200, -1, "KEY0 EDITED KEY2 1"},
                                            {0, 0, "EDITED KEY2 0"},
                                            {0, 2, "KEY0 EDITED 1"},
                                            {0, 1, "KEY0 KEY2 -1"}}) {
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
        QStringList shown; // the first three texts, the edited and framed key
        for (const CQXPanKeyObj& key : m_design.m_KeyObjs.mid(0, 3))
            shown << key.GetText1().trimmed();
        const int edited = m_design.m_SelRect.m_nObjIndex;
        EXPECT_EQ(shown.join(' ') + ' ' + QString::number(edited), texts);
        EXPECT_EQ(m_objDlg.EditObject(), edited < 0 ? nullptr : &m_design.m_KeyObjs[edited]);
        EXPECT_EQ(m_objDlg.m_nMode, QXPanObj::ModeIdle);
    }
}

// The readout names the selected key as its record has it and follows the pointer.
TEST_F(Design, ReadoutNamesTheObjectAndFollowsThePointer)
{
    Reset({MakeKey({101, 99, 203, 151}, QXPanObj::TypeFreeFuncRound, 3)});
    m_design.m_KeyObjs[0].SetNumber(5);
    Click({150, 120});
    const QString key = "Free Function(Round) code 063 no. 5: " + RectText({101, 99, 203, 151});
    Send({101, 99}); // 129.28 rounds down, 126.72 up
    EXPECT_EQ(m_readout.text(), "Pointer 129, 127    " + key);
}

TEST_F(Design, PaintsBackgroundBitmapsAndKeysInOrder)
{
    m_design.m_Background.Create(10, 3, 24);
    m_design.m_Background.AcquireSurface()->fillRect(0, 0, 10, 3, Qt::green);
    m_design.m_Background.ReleaseSurface();
    Reset({MakeKey({120, 370, 180, 430})}, // first, yet above the bitmaps
          {MakeBitmap(1, {50, 300, 150, 400}), MakeBitmap(2, {100, 350, 200, 450})});
    m_design.m_KeyObjs[0].SetText1(QString());
    EXPECT_EQ(Colours(Grab(), "500,0 60,310 110,360 150,400"), "00ff00 ff0000 0000ff ffffff");
}

} // namespace
