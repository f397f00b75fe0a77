// Catches: nothing by itself; the shown design area the canvas tests drive with real input.
#pragma once

#include "../objdlg/ObjDlgTestBranch.h"
#include "ScriptedUserInteraction.h"
#include "canvas/CQXPanDesignDlg.h"
#include "canvas/CQXPanPositionReadout.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "objdlg/CQXPanObjDlg.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

inline QString Text(const QXPanRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}
inline void PrintTo(const QXPanRect& r, std::ostream* os)
{
    *os << Text(r).toStdString();
}

/// The design area on the test branch, wired as the main dialog wires it (properties dialog,
/// Edit menu, position readout, room for 80 keys), shown, active and idle. A plain class, so that
/// a table can make a fresh one per row; DesignAreaTest is the gtest fixture.
class DesignArea
{
public:
    DesignArea()
    {
        m_objDlg.SetApplication(m_branch.Folders(), &m_ui);
        EXPECT_EQ(m_objDlg.LoadReferenceData(nullptr), 1);
        m_design.resize(801, 601);
        m_design.OnInitDialog();
        m_design.SetObjDlg(&m_objDlg);
        m_design.m_nKeyCapacity = 80;
        for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
            m_editMenu.addAction(QString::number(id))->setData(id);
        QObject::connect(&m_editMenu, &QMenu::triggered,
                         [this](QAction* a) { m_design.OnCommand(a->data().toInt()); });
        m_design.SetEditMenu(&m_editMenu);
        m_readout.Attach(&m_design);
        m_design.show();
        m_design.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_design));
        m_objDlg.m_nMode = QXPanObj::ModeIdle;
    }

    void Press(QPoint pt) { QTest::mousePress(&m_design, Qt::LeftButton, {}, pt); }
    void Move(QPoint pt) { QTest::mouseMove(&m_design, pt); } // (0, 0) is the middle
    void Release(QPoint pt) { QTest::mouseRelease(&m_design, Qt::LeftButton, {}, pt); }
    /// A drag as the editor delivers it: the main dialog drops the selection on every press.
    void Drag(QPoint from, QPoint to, int steps = 1)
    {
        m_design.Deselect();
        Press(from);
        for (int s = 1; s <= steps; ++s)
            Move(from + (to - from) * s / steps);
        Release(to);
    }
    void Click(QPoint pt) { Drag(pt, pt); }
    /// A move without a button, sent as it is (QTest drops a move to where the cursor is).
    void Hover(QPoint pt)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(pt), m_design.mapToGlobal(QPointF(pt)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&m_design, &move);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(&m_design, key, mods);
    }
    /// A row dragged from the item list (the press there drops the selection), released at pt.
    void Drop(QPoint pt)
    {
        m_design.Deselect();
        m_objDlg.m_nMode = QXPanObj::ModeDragging;
        m_design.grabMouse();
        Release(pt);
    }
    /// A double-click at pt; inDialog works the properties dialog and must close it.
    void DoubleClick(QPoint pt, std::function<void()> inDialog)
    {
        QTimer::singleShot(0, [this, inDialog] {
            EXPECT_TRUE(m_objDlg.isVisible());
            inDialog();
            EXPECT_FALSE(m_objDlg.isVisible());
            m_objDlg.reject();
        });
        QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(pt), m_design.mapToGlobal(QPointF(pt)),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&m_design, &dbl);
        Release(pt);
    }
    /// A right click at pt that chooses the context menu entry with menu identifier id.
    void ContextCommand(QPoint pt, int id)
    {
        QTimer::singleShot(0, [id] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(popup, nullptr);
            QAction* action =
                popup->actions().at(QList{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}.indexOf(id));
            QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(action).center());
        });
        QTest::mouseClick(&m_design, Qt::RightButton, {}, pt);
    }

    /// Makes a type and a row of its list current, as the main dialog's boxes do.
    void ChooseType(int type, int row = 1)
    {
        m_objDlg.m_nObjType = type;
        m_objDlg.SelectRow(row);
    }
    /// A key made from a row (system key 045, white, by default) at display rectangle r.
    CQXPanKeyObj MakeKey(const QXPanRect& r, int type = QXPanObj::TypeSysKeyRect, int row = 1)
    {
        ChooseType(type, row);
        CQXPanKeyObj key;
        m_objDlg.ApplyItemToKey(key);
        key.SetDisplayRect(r);
        return key;
    }
    /// A placed bitmap of row 1 (first.bmp, 40 x 20 red) or 2 (second.bmp, 10 x 10 blue) at r,
    /// or at its own size when r is empty.
    CQXPanBmpObj MakeBitmap(int row, const QXPanRect& r = {})
    {
        ChooseType(QXPanObj::TypePlaceBitmap, row);
        CQXPanBmpObj bmp;
        EXPECT_EQ(m_objDlg.ApplyItemToBitmap(bmp), 1);
        if (!r.IsRectEmpty())
            bmp.SetDisplayRect(r);
        return bmp;
    }
    /// The design in short: the keys' display rectangles, "|", the bitmaps'.
    std::string Layout() const
    {
        QStringList parts;
        for (const CQXPanKeyObj& key : m_design.m_KeyObjs)
            parts << Text(key.DisplayRect());
        parts << QStringLiteral("|");
        for (const CQXPanBmpObj& bmp : m_design.m_BmpObjs)
            parts << Text(bmp.DisplayRect());
        return parts.join(' ').toStdString();
    }
    /// What is framed: "key 1", "bitmap 0" or "none".
    std::string Selected() const
    {
        if (!m_design.m_SelRect.isVisible())
            return "none";
        const bool bitmap = m_objDlg.m_nObjType == QXPanObj::TypePlaceBitmap;
        return (bitmap ? "bitmap " : "key ") + std::to_string(m_design.m_SelRect.m_nObjIndex);
    }
    QImage Grab() { return m_design.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    ObjDlgTestBranch m_branch;
    ScriptedUserInteraction m_ui;
    CQXPanObjDlg m_objDlg;
    QMenu m_editMenu;
    CQXPanDesignDlg m_design;
    CQXPanPositionReadout m_readout;
};

class DesignAreaTest : public ::testing::Test, public DesignArea
{};
