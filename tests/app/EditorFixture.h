// Catches: nothing by itself: the shared editor fixture that drives the real widgets.
#pragma once

#include "ScriptedUserInteraction.h"
#include "TestFiles.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlg.h"
#include "branch/ConfigLibrary.h"
#include "library/CQXPgco.h"
#include "reglib/CDefScrInfo.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <type_traits>

using Kind = ScriptedUserInteraction::Kind;
using UI = UserInteraction;

/// An in-memory configuration library that logs every call (to check their order and absence).
class FakeConfigLibrary final : public ConfigLibrary
{
public:
    QString branch = QStringLiteral("DEMO"), ecr = QStringLiteral("ECR-1");
    QList<_ECRFile_Information> files = {{796, 0, 0, "Screen Logo", {}},
                                         {797, 0, 0, "Check Window 22", {}},
                                         {798, 0, 0, "Check Window 21", {}},
                                         {799, 0, 0, "Check Window 23", {}}};
    _ScreenDefinition_InterfaceTable table;
    bool tableReadable = true;
    QMap<int, QString> folders; ///< a missing kind fails GetActFolPath
    QStringList log;
    int tablesWritten = 0;

    void GetCurrBrnAndECR(QString& b, QString& e) override
    {
        log << "GetCurrBrnAndECR";
        b = branch, e = ecr;
    }
    void GetECRFileList(int mode, const QString& b, QList<_ECRFile_Information>& list) override
    {
        log << QStringLiteral("GetECRFileList %1 %2").arg(mode).arg(b);
        list = files;
    }
    int GetScrIFTab(DEFSCR_TYPE_SCRNO no, _ScreenDefinition_InterfaceTable& tab) override
    {
        log << QStringLiteral("GetScrIFTab %1").arg(int(no));
        tab = tableReadable ? table : tab;
        return tableReadable ? 1 : 0;
    }
    int SetScrIFTab(DEFSCR_TYPE_SCRNO no, const _ScreenDefinition_InterfaceTable& tab) override
    {
        log << QStringLiteral("SetScrIFTab %1").arg(int(no));
        table = tab, ++tablesWritten;
        return 1;
    }
    int GetActFolPath(DEFBS_TYPE_ENVSTR kind, QString& path) override
    {
        log << QStringLiteral("GetActFolPath %1").arg(int(kind));
        path = folders.value(kind);
        return folders.contains(kind) ? 1 : 0;
    }
    QString Location() const override { return QStringLiteral("fake-store.ini"); }
};

/// A temporary branch with its five folders and an application on the fake library.
struct AppTestEnvironment
{
    QTemporaryDir dir;
    ScriptedUserInteraction ui;
    FakeConfigLibrary* library = new FakeConfigLibrary; // owned by app
    std::unique_ptr<CQXPanApp> app;

    explicit AppTestEnvironment(UserInteraction* realUi = nullptr)
    {
        const QList<QPair<int, QString>> kinds = {{DEFBS_ENV_DATA, "data"},
                                                  {DEFBS_ENV_WORK, "work"},
                                                  {DEFBS_ENV_PROGRAM, "program"},
                                                  {DEFBS_ENV_PLACEDBMP, "placed"},
                                                  {DEFBS_ENV_BACKGROUND, "back"}};
        for (const auto& [kind, name] : kinds) {
            QDir(dir.path()).mkdir(name);
            library->folders.insert(kind, Folder(name));
        }
        app = std::make_unique<CQXPanApp>(QxCtrlStore(dir.filePath("store.ini")),
                                          realUi ? realUi : &ui,
                                          std::unique_ptr<ConfigLibrary>(library));
        app->m_rcScreen = QxRect{0, 0, 1024, 768};
        app->m_rcDesign = QxRect{0, 0, 800, 600};
        app->m_nRecordSize = 62;
    }
    QString Folder(const QString& name) const { return dir.filePath(name); }
    QString Program(const QString& name) const { return Folder("program/" + name); }
    /// The store's bitmap editor program; flags 2 = use it.
    void SetBitmapEditor(const QString& program, quint32 flags)
    {
        _ScreenDefinition_InterfaceTable t;
        t.dwMode = 2, t.strProgramPath = program, t.dwFlags = flags;
        ASSERT_NE(CDefScrInfo(app->Store()).SetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, t), 0);
    }
};

constexpr auto ReadAll = TestFiles::Read;
inline void WriteAll(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(TestFiles::Write(path, bytes)) << path.toStdString();
}
inline void WriteBitmap(const QString& path, int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(image.save(path, "BMP")) << path.toStdString();
}
inline QString Rect(const QXPanRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

/// The values' texts joined by '|', compared as one string.
template <typename T> QString Text(const T& v)
{
    if constexpr (std::is_same_v<T, bool>)
        return v ? QStringLiteral("true") : QStringLiteral("false");
    else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
        return QString::number(qlonglong(v));
    else
        return QString(v);
}
template <typename... T> QString Line(const T&... values)
{
    return QStringList{Text(values)...}.join('|');
}

/// Runs act once the main dialog is up inside its modal loop.
inline void WhenDialogRuns(std::function<void(CQXPanMainDlg&)> act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<CQXPanMainDlg*>(w); dlg && dlg->isVisible())
                return act(*dlg);
        ADD_FAILURE() << "the main dialog is not running";
    });
}

inline void ShowActive(CQXPanMainDlg& d)
{
    ASSERT_TRUE(d.OnInitDialog());
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
}

const QString kFile = QStringLiteral("File(&F)"), kEdit = QStringLiteral("Edit(&E)");

/// Chooses menu > item with the mouse; false (the menu closed again) when it is disabled.
inline bool ChooseMenu(QWidget* window, const QString& title, const QString& itemText)
{
    auto* bar = window->findChild<QMenuBar*>();
    for (QAction* top : bar->actions())
        for (QAction* item : top->text() == title ? top->menu()->actions() : QList<QAction*>())
            if (item->text() == itemText) {
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
                QMenu* menu = top->menu();
                EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
                if (!item->isEnabled()) {
                    QTest::keyClick(menu, Qt::Key_Escape);
                    return false;
                }
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
                return true;
            }
    ADD_FAILURE() << "no menu item " << itemText.toStdString();
    return false;
}

/// The main dialog on a small branch (the test data's system keys, backgrounds sea.bmp and
/// sky.bmp, placed bitmap logo.bmp), driven through its real widgets.
class EditorFixture : public ::testing::Test
{
public:
    static constexpr int kLogo = 0, kWindow22 = 1, kWindow21 = 2, kWindow23 = 3; // image types
    static constexpr int kBackground = 0, kPlaceBitmap = 1, kTableRect = 2, kTableRound = 3,
                         kSysKeyRect = 4, kSysKeyRound = 5; // object types

    EditorFixture()
    {
        QFile::copy(QXPAN_TEST_DATA "/objdlg-branch/data/funckey.txt",
                    env.Folder("data/funckey.txt"));
        WriteBitmap(env.Folder("back/sea.bmp"), 20, 10, QColor(0, 160, 0));
        WriteBitmap(env.Folder("back/sky.bmp"), 16, 12, QColor(0, 0, 200));
        WriteBitmap(env.Folder("placed/logo.bmp"), 64, 32, QColor(200, 0, 0));
    }

    void Start(int imageType = -1)
    {
        ShowActive(dlg);
        if (imageType >= 0)
            ChooseImageType(imageType);
    }

    /// Opens the list with a click and chooses with the keys (it takes no click just opened).
    static void PickFromCombo(QComboBox* box, int index)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        QAbstractItemView* view = box->view();
        ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }));
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
    }
    void ChooseImageType(int index) { PickFromCombo(dlg.m_cbImageType, index); }
    void ChooseObjectType(int type) { PickFromCombo(dlg.m_cbObjectType, type); }
    void ChooseBackground(const QString& name)
    {
        ChooseObjectType(kBackground);
        ClickRow(name);
    }

    /// The item list's row whose first or second column reads text.
    QTreeWidgetItem* Row(const QString& text) const
    {
        for (int i = 0; i < dlg.m_lcItems->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = dlg.m_lcItems->topLevelItem(i);
            if (item->text(0).trimmed() == text || item->text(1).trimmed() == text)
                return item;
        }
        ADD_FAILURE() << "no row " << text.toStdString();
        return nullptr;
    }
    QPoint RowCentre(const QString& text) const
    {
        QTreeWidgetItem* item = Row(text);
        dlg.m_lcItems->scrollToItem(item);
        return item ? dlg.m_lcItems->visualItemRect(item).center() : QPoint(-1, -1);
    }
    void ClickRow(const QString& text)
    {
        QTest::mouseClick(dlg.m_lcItems->viewport(), Qt::LeftButton, {}, RowCentre(text));
    }
    void DragRowTo(const QString& text, QPoint pt)
    {
        const QPoint from = RowCentre(text);
        QTest::mousePress(dlg.m_lcItems->viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(dlg.m_lcItems->viewport(), from + QPoint(30, 0));
        QTest::mouseRelease(&design(), Qt::LeftButton, {}, pt);
    }
    QStringList ItemNames() const
    {
        QStringList names;
        for (int i = 0; i < dlg.m_lcItems->topLevelItemCount(); ++i)
            names << dlg.m_lcItems->topLevelItem(i)->text(0);
        return names;
    }
    QString ShownRow() const
    {
        const QTreeWidgetItem* item = dlg.m_lcItems->currentItem();
        return item && item->isSelected() ? item->text(0) : QString();
    }

    QPushButton* Button(int id) const { return static_cast<QPushButton*>(dlg.GetDlgItem(id)); }
    void ClickButton(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    bool ChooseMenu(const QString& title, const QString& item)
    {
        return ::ChooseMenu(&dlg, title, item);
    }
    /// File > item with name given to the file dialog it opens.
    bool File(const char* item, const QString& name)
    {
        env.ui.QueueFileName(name);
        return ChooseMenu(kFile, item);
    }
    /// Clicks Convert, Browse or Edit, the answers to their questions queued.
    void Convert(std::initializer_list<int> answers) { Click(CQXPanMainDlg::IDC_CONVERT, answers); }
    void Browse(const QStringList& files, std::initializer_list<int> answers = {})
    {
        env.ui.QueueFileNames(files);
        Click(CQXPanMainDlg::IDC_BROWSE, answers);
    }
    void EditBitmap(bool started = true, std::initializer_list<int> answers = {})
    {
        env.ui.QueueProgramRun({started, started ? 0 : -1});
        Click(CQXPanMainDlg::IDC_EDIT, answers);
    }
    void Click(int button, std::initializer_list<int> answers)
    {
        Answer(answers);
        ClickButton(button);
    }

    CQXPanDesignDlg& design() { return dlg.m_DesignDlg; }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(&design(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&design(), to);
        QTest::mouseRelease(&design(), Qt::LeftButton, {}, to);
    }
    void DrawTable(QPoint from, QPoint to)
    {
        ChooseObjectType(kTableRect);
        Drag(from, to);
    }
    void Place(int type, const QString& row, QPoint from, QPoint to)
    {
        ChooseObjectType(type);
        ClickRow(row);
        Drag(from, to);
    }
    /// Each key's display rectangle, then each bitmap's file name and rectangle.
    QString Layout()
    {
        QStringList s;
        for (const CQXPanKeyObj& key : design().m_KeyObjs)
            s << Rect(key.DisplayRect());
        for (const CQXPanBmpObj& bmp : design().m_BmpObjs)
            s << bmp.m_strFileName + ' ' + Rect(bmp.DisplayRect());
        return s.join(" | ");
    }

    void Answer(std::initializer_list<int> answers)
    {
        for (int a : answers)
            env.ui.QueueAnswer(a);
    }
    QString ReadoutText() const
    {
        return static_cast<QLabel*>(dlg.GetDlgItem(CQXPanMainDlg::IDC_POSITION))->text();
    }
    QStringList Messages() const
    {
        QStringList texts;
        for (const auto& call : env.ui.CallsOf(Kind::MessageBox))
            texts << call.text;
        return texts;
    }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};
