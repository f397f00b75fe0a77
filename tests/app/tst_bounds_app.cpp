// A background whose header claims a picture far larger than any screen is refused through the
// editor with "open err", without the editor trying to hold it.

#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUserInteraction::Kind;

void Put32(QByteArray& b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A 24-bit BMP header claiming width x height, the file as long as the claim (a hole).
void WriteClaimingBmp(const QString& path, quint32 width, quint32 height)
{
    const qint64 pixels = qint64((width * 3 + 3) / 4 * 4) * height;
    QByteArray b("BM");
    Put32(b, quint32(54 + pixels));
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, width);
    Put32(b, height);
    b.append(char(1)).append(char(0)).append(char(24)).append(char(0));
    Put32(b, 0);
    Put32(b, quint32(pixels));
    b += QByteArray(16, '\0');
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(b), b.size());
    ASSERT_TRUE(f.resize(54 + pixels));
}

TEST(BoundsInTheEditor, ABackgroundOf60000By60000PixelsSaysOpenErr)
{
    AppTestEnvironment env;
    WriteClaimingBmp(env.Folder("back") + "/huge.bmp", 60000, 60000);
    CQXPanMainDlg dlg{env.app.get()};
    ASSERT_TRUE(dlg.OnInitDialog());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    int position = -1;
    for (size_t row = 1; row < dlg.m_ObjDlg.m_BgList.size(); ++row)
        if (dlg.m_ObjDlg.m_BgList[row].m_strCol1 == "huge.bmp")
            position = int(row) - 1;
    ASSERT_GE(position, 0);

    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.SelectListPosition(position);

    const auto messages = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, "open err");
    EXPECT_TRUE(dlg.m_DesignDlg.m_Background.IsEmpty());
}

} // namespace
