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
    return QString::asprintf("%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
}

/// The design area on the test branch, wired as the main dialog wires it (properties dialog,
/// Edit menu, position readout, room for 80 keys), shown, active and idle.
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
    /// A drag as the editor delivers it: the main dialog drops the selection on every press
    /// that does not act on it.
    void Drag(QPoint from, QPoint to, int steps = 1, Qt::KeyboardModifiers keys = {})
    {
        if (!m_design.KeepsSelectionOnPress(from, keys))
            m_design.Deselect();
        QTest::mousePress(&m_design, Qt::LeftButton, keys, from);
        for (int s = 1; s <= steps; ++s)
            Move(from + (to - from) * s / steps);
        QTest::mouseRelease(&m_design, Qt::LeftButton, keys, to);
    }
    void Click(QPoint pt) { Drag(pt, pt); }
    /// A mouse event sent as it is (QTest drops a move to where the cursor is).
    void Send(QPoint pt, QEvent::Type type = QEvent::MouseMove, Qt::MouseButton button = {})
    {
        QMouseEvent event(type, QPointF(pt), m_design.mapToGlobal(QPointF(pt)), button, button, {});
        QApplication::sendEvent(&m_design, &event);
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
        Send(pt, QEvent::MouseButtonDblClick, Qt::LeftButton);
        Release(pt);
    }
    /// Runs user actions separated by ';': "click X,Y", "drag X,Y X,Y", "ctrl X,Y" (Ctrl+click),
    /// "shift X,Y X,Y" (Shift+drag), "drop X,Y" (a row of the
    /// item list released there), a right click choosing "cut X,Y", "copy X,Y" or "paste X,Y",
    /// "undo", "redo", or keys ("Del", "Ctrl+C").
    void Do(const QString& script)
    {
        for (const QString& step : script.split(';', Qt::SkipEmptyParts)) {
            const QStringList w = step.simplified().split(' ');
            auto at = [&w](int i) {
                return QPoint(w[i].section(',', 0, 0).toInt(), w[i].section(',', 1).toInt());
            };
            const int entry = QStringList{"cut", "copy", "paste"}.indexOf(w[0]);
            if (w[0] == "click" || w[0] == "drag") {
                Drag(at(1), at(w.size() - 1));
            } else if (w[0] == "ctrl" || w[0] == "shift") { // Ctrl+click, Shift+drag
                Drag(at(1), at(w.size() - 1), 1,
                     w[0] == "ctrl" ? Qt::ControlModifier : Qt::ShiftModifier);
            } else if (w[0] == "drop") { // the press in the list dropped the selection
                m_design.Deselect();
                m_objDlg.m_nMode = QXPanObj::ModeDragging;
                m_design.grabMouse();
                Release(at(1));
            } else if (entry >= 0) {
                QTimer::singleShot(0, [entry] {
                    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                    ASSERT_NE(popup, nullptr);
                    const QRect item = popup->actionGeometry(popup->actions().at(entry));
                    QTest::mouseClick(popup, Qt::LeftButton, {}, item.center());
                });
                QTest::mouseClick(&m_design, Qt::RightButton, {}, at(1));
            } else if (w[0] == "undo" || w[0] == "redo") {
                w[0] == "undo" ? m_design.Undo() : m_design.Redo();
            } else {
                QTest::keySequence(&m_design, QKeySequence(w[0]));
            }
        }
    }
    /// Makes a type and a row of its list current, as the main dialog's boxes do.
    void ChooseType(int type, int row = 1) { m_objDlg.m_nObjType = type, m_objDlg.SelectRow(row); }
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
    void Reset(QList<CQXPanKeyObj> keys = {}, QList<CQXPanBmpObj> bitmaps = {})
    {
        m_design.Deselect();
        m_design.ClearObjects(false); // as New clears it: nothing left, nothing modified
        m_design.m_KeyObjs = keys;
        m_design.m_BmpObjs = bitmaps;
    }

    ObjDlgTestBranch m_branch;
    ScriptedUserInteraction m_ui;
    CQXPanObjDlg m_objDlg;
    QMenu m_editMenu;
    CQXPanDesignDlg m_design;
    CQXPanPositionReadout m_readout;
};

class Design : public ::testing::Test, public DesignArea
{};
