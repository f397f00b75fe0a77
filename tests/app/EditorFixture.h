#pragma once

#include "AppTestEnvironment.h"
#include "TestFiles.h"

#include "app/CQXPanMainDlg.h"
#include "canvas/CQXPanDesignDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

/// The editor as a person meets it: the main dialog on a small branch (three system keys, two
/// background bitmaps, one placed bitmap), started, shown and active, driven through its real
/// widgets: the menu bar and its menus, the combo boxes' lists, the item list and the mouse and
/// keys on the design area. Put files into env's folders before Start().
class EditorFixture : public ::testing::Test
{
public:
    static constexpr int kLogo = 0;       ///< image type 796
    static constexpr int kWindow22 = 1;   ///< image type 797
    static constexpr int kWindow21 = 2;   ///< image type 798
    static constexpr int kBackground = 0; ///< object types
    static constexpr int kPlaceBitmap = 1;
    static constexpr int kTableRect = 2;
    static constexpr int kSysKeyRect = 4;

    EditorFixture()
    {
        QFile::copy(QStringLiteral(QXPAN_TEST_DATA "/objdlg-branch/data/funckey.txt"),
                    env.Folder("data") + "/funckey.txt");
        WriteBitmap(env.Folder("back") + "/sea.bmp", 20, 10, QColor(0, 160, 0));
        WriteBitmap(env.Folder("back") + "/sky.bmp", 16, 12, QColor(0, 0, 200));
        WriteBitmap(env.Folder("placed") + "/logo.bmp", 64, 32, QColor(200, 0, 0));
    }

    static QByteArray ReadAll(const QString& path) { return TestFiles::Read(path); }
    static void WriteAll(const QString& path, const QByteArray& bytes)
    {
        ASSERT_TRUE(TestFiles::Write(path, bytes));
    }
    static void WriteBitmap(const QString& path, int width, int height, QColor colour)
    {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(colour);
        ASSERT_TRUE(image.save(path, "BMP"));
    }

    void Start()
    {
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    }

    /// Opens a combo box's list with a click and chooses an entry with the keys, as the list
    /// takes no click right after it opened.
    static void PickFromCombo(QComboBox* box, int index)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        QAbstractItemView* view = box->view();
        ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }));
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        ASSERT_EQ(box->currentIndex(), index);
    }
    void ChooseImageType(int index) { PickFromCombo(dlg.m_cbImageType, index); }
    void ChooseObjectType(int type) { PickFromCombo(dlg.m_cbObjectType, type); }

    /// Clicks the item list's row whose first (or, when that is hidden, second) column reads text.
    void ClickRow(const QString& text)
    {
        QTreeWidget* list = dlg.m_lcItems;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = list->topLevelItem(i);
            if (item->text(0).trimmed() == text || item->text(1).trimmed() == text) {
                list->scrollToItem(item);
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualItemRect(item).center());
                return;
            }
        }
        ADD_FAILURE() << "no row " << text.toStdString();
    }

    void ClickButton(int id)
    {
        QTest::mouseClick(static_cast<QPushButton*>(dlg.GetDlgItem(id)), Qt::LeftButton);
    }

    /// Chooses menu > item with the mouse on the menu bar and in the menu; false (and the menu
    /// closed again) when the item is disabled.
    bool ChooseMenu(const QString& menuTitle, const QString& itemText)
    {
        QMenuBar* bar = dlg.findChild<QMenuBar*>();
        for (QAction* top : bar->actions()) {
            if (top->text() != menuTitle)
                continue;
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
            QMenu* menu = top->menu();
            if (!QTest::qWaitFor([menu] { return menu->isVisible(); })) {
                ADD_FAILURE() << "the menu did not open";
                return false;
            }
            for (QAction* item : menu->actions()) {
                if (item->text() != itemText)
                    continue;
                if (!item->isEnabled()) {
                    QTest::keyClick(menu, Qt::Key_Escape);
                    return false;
                }
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
                return true;
            }
        }
        ADD_FAILURE() << "no menu item " << itemText.toStdString();
        return false;
    }

    /// Runs act once widget is shown, e.g. a modal dialog that the next action opens.
    static void WhenShown(QWidget* widget, std::function<void()> act)
    {
        auto* poll = new QTimer;
        poll->setInterval(10);
        auto tries = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, widget, act, tries] {
            if (!widget->isVisible() && ++*tries < 500)
                return;
            poll->stop();
            poll->deleteLater();
            if (widget->isVisible())
                act();
            else
                ADD_FAILURE() << "never shown";
        });
        poll->start();
    }

    CQXPanDesignDlg& design() { return dlg.m_DesignDlg; }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&design(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&design(), to);
        QTest::mouseRelease(&design(), Qt::LeftButton, {}, to);
    }
    void Click(QPoint pt) { Drag(pt, pt); }

    /// Drags the item list's row onto the design area and lets go at pt.
    void DragRowTo(const QString& text, QPoint pt)
    {
        QTreeWidget* list = dlg.m_lcItems;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = list->topLevelItem(i);
            if (item->text(0).trimmed() != text && item->text(1).trimmed() != text)
                continue;
            const QPoint from = list->visualItemRect(item).center();
            QTest::mousePress(list->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(list->viewport(), from + QPoint(30, 0));
            QTest::mouseRelease(&design(), Qt::LeftButton, {}, pt);
            return;
        }
        ADD_FAILURE() << "no row " << text.toStdString();
    }

    QString ReadoutText() const
    {
        return static_cast<QLabel*>(dlg.GetDlgItem(CQXPanMainDlg::IDC_POSITION))->text();
    }
    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const auto& call : env.ui.CallsOf(ScriptedUserInteraction::Kind::MessageBox))
            texts << call.text;
        return texts;
    }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};
