// Catches: an editor preview that differs from the converted screen file, or that Ctrl+R leaves
// stale.
#include "EditorFixture.h"

#include "app/CQXPanPreviewDlg.h"
#include "formats/RegisterPreview.h"

#include <QProcess>

namespace {

using Preview = EditorFixture;

// Check window 22 on a gradient (whose low bits the register drops) with a system key, a table
// and a placed bitmap: Ctrl+R shows what the register shows after Convert (as qxpan-cli draws it
// from the written files), and Ctrl+R in the preview follows the design.
TEST_F(Preview, CtrlRShowsTheConvertedScreenFileWithItsKeysAndFollowsTheDesign)
{
    QImage back(1024, 768, QImage::Format_RGB888);
    for (int y = 0; y < back.height(); ++y)
        for (int x = 0; x < back.width(); ++x)
            back.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * 3 + y) & 0xFF));
    ASSERT_TRUE(back.save(env.Folder("back") + "/gradient.bmp", "BMP"));
    WriteBitmap(env.Folder("placed") + "/stamp.bmp", 30, 20, QColor(201, 17, 99));
    Start(kWindow22);
    ChooseBackground("gradient.bmp");
    Place(kSysKeyRect, "CLERK", {101, 103}, {211, 157});
    DrawTable({57, 350}, {399, 555});
    Place(kPlaceBitmap, "stamp.bmp", {503, 41}, {647, 119});
    QTest::keyClick(&dlg, Qt::Key_R, Qt::ControlModifier);
    CQXPanPreviewDlg* window = dlg.PreviewDlg();
    ASSERT_TRUE(window && QTest::qWaitForWindowExposed(window));
    const QImage first = window->Picture();

    Convert({UI::IDOK, UI::IDOK});
    ASSERT_EQ(Messages().last(), "Normal end");
    const QString out = env.Folder("work") + "/cli.png";
    QProcess cli;
    cli.start(QStringLiteral(QXPAN_CLI_PATH), {"preview", env.Program("FILE797P.TXT"), out});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    EXPECT_TRUE(QImage(out).convertToFormat(QImage::Format_RGB32) == first);

    Drag({150, 130}, {250, 180}); // moves CLERK away from (140, 140)
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
    QImage now;
    ASSERT_TRUE(RegisterPreview::Build(dlg.m_DesignDlg, now));
    EXPECT_TRUE(dlg.PreviewDlg() == window && window->Picture() == now);
    EXPECT_NE(first.pixel(140, 140), now.pixel(140, 140));
}

} // namespace
