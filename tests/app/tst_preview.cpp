// The register preview and the position readout in the running editor: the preview must be
// exactly what the register shows after Convert, and the additions must leave the dialog's own
// controls where they are.
#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"
#include "app/CQXPanPreviewDlg.h"
#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "formats/BitmapTableFile.h"
#include "formats/KeyPainter.h"
#include "formats/RegisterPreview.h"
#include "formats/ScreenFileImport.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr int kBackground = 0;
constexpr int kPlaceBitmap = 1;
constexpr int kTableRect = 2;
constexpr int kSysKeyRect = 4;
constexpr int kSysKeyRound = 5;
constexpr int kIdle = 4;
constexpr int kW = 1024, kH = 768;

// Every channel of the background has low bits the register drops.
QRgb BackgroundAt(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, (x * 3 + y) & 0xFF);
}

class Preview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString data = QStringLiteral(QXPAN_TEST_DATA) + "/objdlg-branch";
        ASSERT_TRUE(QFile::copy(data + "/data/funckey.txt", env.Folder("data") + "/funckey.txt"));
        ASSERT_TRUE(
            QFile::copy(data + "/program/FILE002P.TXT", env.Folder("program") + "/FILE002P.TXT"));
        QImage back(kW, kH, QImage::Format_RGB888);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                back.setPixel(x, y, BackgroundAt(x, y));
        ASSERT_TRUE(back.save(env.Folder("back") + "/gradient.bmp", "BMP"));
        QImage stamp(30, 20, QImage::Format_RGB888);
        stamp.fill(qRgb(201, 17, 99));
        ASSERT_TRUE(stamp.save(env.Folder("placed") + "/stamp.bmp", "BMP"));
        ASSERT_TRUE(dlg.OnInitDialog());
        dlg.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    }

    void ChooseObjectType(int type)
    {
        dlg.m_cbObjectType->setCurrentIndex(type);
        dlg.OnObjectTypeChange();
    }
    void ChooseRow(int type, const CQXPanRefList& list, const QString& name)
    {
        ChooseObjectType(type);
        for (size_t row = 1; row < list.size(); ++row) {
            if (list[row].m_strCol1.trimmed() == name || list[row].m_strCol2.trimmed() == name) {
                dlg.SelectListPosition(int(row) - 1);
                return;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
    }
    void Draw(QPoint from, QPoint to)
    {
        dlg.m_ObjDlg.m_nMode = kIdle;
        QTest::mousePress(&dlg.m_DesignDlg, Qt::LeftButton, {}, from);
        QTest::mouseMove(&dlg.m_DesignDlg, to);
        QTest::mouseRelease(&dlg.m_DesignDlg, Qt::LeftButton, {}, to);
        dlg.m_DesignDlg.Deselect();
    }
    // Check window 22 on the gradient with two keys, a table and a placed bitmap.
    void Compose()
    {
        dlg.m_cbImageType->setCurrentIndex(1);
        dlg.OnImageTypeChange();
        ChooseRow(kBackground, dlg.m_ObjDlg.m_BgList, "gradient.bmp");
        ASSERT_EQ(dlg.m_DesignDlg.m_Background.Width(), kW);
        ChooseRow(kSysKeyRect, dlg.m_ObjDlg.m_SysKeyList, "CLERK");
        Draw({101, 103}, {211, 157});
        ChooseRow(kSysKeyRound, dlg.m_ObjDlg.m_SysKeyList, "PLU");
        Draw({411, 287}, {301, 203});
        ChooseObjectType(kTableRect);
        dlg.SelectListPosition(0);
        Draw({57, 350}, {399, 555});
        ChooseRow(kPlaceBitmap, dlg.m_ObjDlg.m_BmpList, "stamp.bmp");
        Draw({503, 41}, {647, 119});
        ASSERT_EQ(dlg.m_DesignDlg.m_KeyObjs.size(), 3);
        ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
    }
    QPushButton* PreviewButton() const
    {
        return qobject_cast<QPushButton*>(dlg.GetDlgItem(CQXPanMainDlg::IDC_PREVIEW));
    }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};

// The written screen file decoded as the register reads it, 1024 x 768.
QImage DecodedScreen(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    QByteArray pixels(ScreenPixelBytes, '\0');
    if (!decodeScreenProgram(file, reinterpret_cast<unsigned char*>(pixels.data())))
        return QImage();
    QImage image(kW, kH, QImage::Format_BGR888);
    for (int y = 0; y < kH; ++y)
        std::memcpy(image.scanLine(y), pixels.constData() + qsizetype(y) * 3 * kW, 3 * kW);
    return image.convertToFormat(QImage::Format_RGB32);
}

TEST_F(Preview, ShowsTheDecodedScreenFileWithTheKeysDrawnOnIt)
{
    Compose();
    QTest::mouseClick(PreviewButton(), Qt::LeftButton);
    CQXPanPreviewDlg* window = dlg.PreviewDlg();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    EXPECT_EQ(window->windowTitle(), "Register Preview");
    const QImage preview = window->Picture();
    ASSERT_EQ(preview.size(), QSize(kW, kH));

    // The real Convert into the branch, then the register's files read back.
    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnConvert();
    ASSERT_EQ(env.ui.CallsOf(ScriptedUserInteraction::Kind::MessageBox).last().text, "Normal end");
    const QImage decoded = DecodedScreen(env.Folder("program") + "/FILE797P.TXT");
    ASSERT_FALSE(decoded.isNull());
    QList<CQXPanKeyObj> table;
    ASSERT_EQ(BitmapTableFile::Read(env.Folder("program"), table).eStatus,
              BitmapTableFile::ReadStatus::Read);
    CQXPanDocument written;
    written.LoadTableSlice(table, 797);
    ASSERT_EQ(written.m_KeyObjs.size(), 3);

    QImage expected = decoded;
    PaintRegisterKeys(expected, written.m_KeyObjs);
    EXPECT_TRUE(preview == expected);

    // Outside the keys the preview is the decoded screen itself, so its colours are the
    // register's: the gradient without its low bits, the stamp in its register rectangle.
    const auto onKey = [&written](int x, int y) {
        for (const CQXPanKeyObj& key : written.m_KeyObjs) {
            const QXPanRect r = key.RegisterRect();
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
                return true;
        }
        return false;
    };
    int differ = 0, wrongOutside = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (preview.pixel(x, y) == decoded.pixel(x, y))
                continue;
            ++differ;
            if (!onKey(x, y))
                ++wrongOutside;
        }
    EXPECT_GT(differ, 1000); // the keys are drawn
    EXPECT_EQ(wrongOutside, 0);
    const QRgb back = BackgroundAt(900, 700);
    EXPECT_EQ(preview.pixel(900, 700),
              qRgb(qRed(back) & 0xF8, qGreen(back) & 0xF8, qBlue(back) & 0xF8));
    // The stamp drawn at design (503, 41): register (644, 52) onwards.
    EXPECT_EQ(preview.pixel(650, 60), qRgb(200, 16, 96));

    // The command-line tool draws the same picture from the same files.
    const QString out = env.Folder("work") + "/cli.png";
    QProcess cli;
    cli.start(QStringLiteral(QXPAN_CLI_PATH),
              {QStringLiteral("preview"), env.Folder("program") + "/FILE797P.TXT", out});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    EXPECT_TRUE(QImage(out).convertToFormat(QImage::Format_RGB32) == preview);
}

TEST_F(Preview, OpensWithCtrlRShowsThePictureAtItsOwnSizeAndRefreshes)
{
    Compose();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QTest::keyClick(&dlg, Qt::Key_R, Qt::ControlModifier);
    CQXPanPreviewDlg* window = dlg.PreviewDlg();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const auto* view = window->findChild<QLabel*>(QStringLiteral("previewPicture"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->pixmap().deviceIndependentSize().toSize(), QSize(kW, kH));
    EXPECT_EQ(view->size(), QSize(kW, kH));
    // Never larger than the desktop; what does not fit is scrolled to.
    const QSize desktop = window->screen()->availableGeometry().size();
    EXPECT_LE(window->width(), desktop.width());
    EXPECT_LE(window->height(), desktop.height());
    const auto* scroll = window->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    if (desktop.width() < kW) {
        EXPECT_GT(scroll->horizontalScrollBar()->maximum(), 0);
    }
    if (desktop.height() < kH) {
        EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    }
    const QImage first = window->Picture();

    // The editor stays usable beside it: move the first key, then ask again.
    dlg.activateWindow();
    dlg.m_ObjDlg.m_nMode = kIdle;
    QTest::mousePress(&dlg.m_DesignDlg, Qt::LeftButton, {}, {150, 130});
    QTest::mouseMove(&dlg.m_DesignDlg, {250, 180});
    QTest::mouseRelease(&dlg.m_DesignDlg, Qt::LeftButton, {}, {250, 180});
    ASSERT_EQ(dlg.m_DesignDlg.m_KeyObjs[0].DisplayRect(), (QXPanRect{201, 153, 311, 207}));
    // Ctrl+R in the preview window itself brings it up to date.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(dlg.PreviewDlg(), window); // the same window
    EXPECT_FALSE(window->Picture() == first);
    QImage now;
    ASSERT_TRUE(RegisterPreview::Build(dlg.m_DesignDlg, now));
    EXPECT_TRUE(window->Picture() == now);
    // The moved key's old place shows the background again.
    EXPECT_EQ(window->Picture().pixel(140, 140), now.pixel(140, 140));
    EXPECT_NE(first.pixel(140, 140), now.pixel(140, 140));
}

TEST_F(Preview, ButtonAndReadoutKeepClearOfTheOtherControlsAndFollowTheDesign)
{
    const QWidget* client = dlg.ClientArea();
    // "Preview" covers no other control, hidden ones and the group frames included.
    const QPushButton* preview = PreviewButton();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->text(), "Preview");
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->isEnabled());
    for (const QWidget* other : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == preview)
            continue;
        EXPECT_FALSE(other->geometry().intersects(preview->geometry()))
            << other->metaObject()->className() << " at " << other->x() << ", " << other->y();
    }

    // The readout lies right under the design area, as wide as it, inside the dialog.
    const QWidget* readout = dlg.GetDlgItem(CQXPanMainDlg::IDC_POSITION);
    ASSERT_NE(readout, nullptr);
    const QRect area = dlg.m_DesignDlg.geometry();
    EXPECT_EQ(readout->x(), area.x());
    EXPECT_EQ(readout->width(), area.width());
    EXPECT_GT(readout->y(), area.bottom());
    EXPECT_TRUE(client->rect().contains(readout->geometry()));
    EXPECT_TRUE(readout->isVisible());

    // It follows this dialog's design area: a key drawn from design (101, 103) to (211, 157).
    Compose();
    QTest::mousePress(&dlg.m_DesignDlg, Qt::LeftButton, {}, {150, 130});
    // 101 * 1.28 = 129.28, 103 * 1.28 = 131.84, 211 * 1.28 = 270.08, 157 * 1.28 = 200.96.
    EXPECT_TRUE(qobject_cast<const QLabel*>(readout)->text().endsWith(
        QStringLiteral("System Key(Rectangle) code 045 no. 0: X1 129 Y1 132 X2 270 Y2 201, "
                       "141 \u00D7 69")));
    QTest::mouseRelease(&dlg.m_DesignDlg, Qt::LeftButton, {}, {150, 130});
}

} // namespace
