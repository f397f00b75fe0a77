// Catches: a preview that differs from what the register shows after Convert, or from qxpan-cli's.
// Also a preview window that is not opened, or not brought up to date, by Preview and Ctrl+R.
#include "EditorFixture.h"

#include "app/CQXPanPreviewDlg.h"
#include "document/CQXPanDocument.h"
#include "formats/BitmapTableFile.h"
#include "formats/KeyPainter.h"
#include "formats/RegisterPreview.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"

#include <QProcess>
#include <QScreen>

namespace {

constexpr int kW = 1024, kH = 768;

// Every channel of the background has low bits the register drops.
QRgb BackgroundAt(int x, int y)
{
    return qRgb(x & 0xFF, y & 0xFF, (x * 3 + y) & 0xFF);
}

class Preview : public EditorFixture
{
protected:
    // Check window 22 on the gradient with two system keys, a table and a placed bitmap.
    void Compose()
    {
        QImage back(kW, kH, QImage::Format_RGB888);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                back.setPixel(x, y, BackgroundAt(x, y));
        ASSERT_TRUE(back.save(env.Folder("back") + "/gradient.bmp", "BMP"));
        WriteBitmap(env.Folder("placed") + "/stamp.bmp", 30, 20, QColor(201, 17, 99));
        Start(kWindow22);
        ChooseBackground("gradient.bmp");
        Place(kSysKeyRect, "CLERK", {101, 103}, {211, 157});
        Place(kSysKeyRound, "PLU", {411, 287}, {301, 203}); // drawn up and left
        DrawTable({57, 350}, {399, 555});
        Place(kPlaceBitmap, "stamp.bmp", {503, 41}, {647, 119});
        ASSERT_EQ(Line(design().m_KeyObjs.size(), design().m_BmpObjs.size()), "3|1");
    }
};

TEST_F(Preview, ShowsTheDecodedScreenFileWithTheKeysDrawnOnItAsTheToolDoes)
{
    Compose();
    ClickButton(CQXPanMainDlg::IDC_PREVIEW);
    CQXPanPreviewDlg* window = dlg.PreviewDlg();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Line(window->isVisible(), window->isModal()), "true|false");
    const QImage preview = window->Picture();

    // The real Convert into the branch, then the register's files read back.
    Convert({UI::IDOK, UI::IDOK});
    ASSERT_EQ(Messages().last(), "Normal end");
    CDibImage screen; // the written screen file decoded as the register reads it
    ASSERT_TRUE(ImportScreenFile(797, 0, screen, env.Folder("program"), QString()));
    const QImage decoded = screen.Image().convertToFormat(QImage::Format_RGB32);
    QList<CQXPanKeyObj> table;
    ASSERT_EQ(BitmapTableFile::Read(env.Folder("program"), table).eStatus,
              BitmapTableFile::ReadStatus::Read);
    CQXPanDocument written;
    written.LoadTableSlice(table, 797);
    ASSERT_EQ(written.m_KeyObjs.size(), 3);
    QImage expected = decoded;
    PaintRegisterKeys(expected, written.m_KeyObjs);
    EXPECT_TRUE(preview == expected && preview != decoded && !decoded.isNull()); // keys drawn
    // The register's colours: the gradient without its low bits, the stamp in its rectangle.
    const QRgb back = BackgroundAt(900, 700);
    EXPECT_EQ(preview.pixel(900, 700),
              qRgb(qRed(back) & 0xF8, qGreen(back) & 0xF8, qBlue(back) & 0xF8));
    EXPECT_EQ(preview.pixel(650, 60), qRgb(200, 16, 96)); // design (503, 41): register (644, 52)

    // The command-line tool draws the same picture from the same files.
    const QString out = env.Folder("work") + "/cli.png";
    QProcess cli;
    cli.start(QStringLiteral(QXPAN_CLI_PATH), {"preview", env.Program("FILE797P.TXT"), out});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    EXPECT_TRUE(QImage(out).convertToFormat(QImage::Format_RGB32) == preview);
}

// Ctrl+R opens it beside the editor, at the picture's size but never larger than the desktop;
// Ctrl+R in the preview itself brings the same window up to date.
TEST_F(Preview, CtrlROpensItAndBringsItUpToDate)
{
    Compose();
    Drag({150, 130}, {250, 180}); // moves CLERK away from (140, 140)
    QTest::keyClick(&dlg, Qt::Key_R, Qt::ControlModifier);
    CQXPanPreviewDlg* window = dlg.PreviewDlg();
    ASSERT_TRUE(window && QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->findChild<QLabel*>("previewPicture")->size(), QSize(kW, kH));
    EXPECT_LE(window->width(), window->screen()->availableGeometry().width());
    const QImage first = window->Picture();
    dlg.activateWindow();
    ASSERT_TRUE(ChooseMenu("Edit(&E)", "Undo(&U)"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
    QImage now;
    ASSERT_TRUE(RegisterPreview::Build(dlg.m_DesignDlg, now));
    EXPECT_TRUE(dlg.PreviewDlg() == window && window->Picture() == now);
    EXPECT_NE(first.pixel(140, 140), now.pixel(140, 140)); // the key is back at its old place
}

} // namespace
