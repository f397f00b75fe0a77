// The whole road through the real main dialog: compose with the mouse, save, new, open, convert,
// and compare the written register files with bytes built here, independently of the writers.
#include "AppTestEnvironment.h"

#include "app/CQXPanMainDlg.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace {

using Kind = ScriptedUserInteraction::Kind;

constexpr int kBackground = 0;
constexpr int kPlaceBitmap = 1;
constexpr int kTableRect = 2;
constexpr int kSysKeyRect = 4;
constexpr int kSysKeyRound = 5;
constexpr int kIdle = 4;

constexpr int kScreenW = 1024, kScreenH = 768, kDesignW = 800, kDesignH = 600;
const QRgb kBackColour = qRgb(40, 80, 160);
const QRgb kBitmapColour = qRgb(200, 16, 99);

// Design pixels to register pixels: truncating division, rounded up when the remainder reaches
// the integer half of the divisor.
int ToRegister(int v, int n, int d)
{
    const int q = v * n / d, r = v * n % d;
    return q + (r >= d / 2 ? 1 : 0);
}
QXPanRect RegisterRect(const QXPanRect& r)
{
    return {ToRegister(r.left, kScreenW, kDesignW), ToRegister(r.top, kScreenH, kDesignH),
            ToRegister(r.right, kScreenW, kDesignW), ToRegister(r.bottom, kScreenH, kDesignH)};
}

void Put16(QByteArray& b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
void PutText(QByteArray& b, int at, const QByteArray& text)
{
    const QByteArray field = text.leftJustified(20, ' ', true);
    for (int i = 0; i < 20; ++i)
        b[at + i] = field[i];
}

// The 62 register bytes of a key or table, built field by field.
QByteArray Record(int code, const QXPanRect& reg, int shape, std::array<int, 3> fill,
                  std::array<int, 3> text, int number, const QByteArray& text1)
{
    QByteArray b(62, '\0');
    Put16(b, 0, code);
    Put16(b, 2, reg.left);
    Put16(b, 4, reg.top);
    Put16(b, 6, reg.right);
    Put16(b, 8, reg.bottom);
    b[10] = char(shape);
    for (int i = 0; i < 3; ++i) {
        b[11 + i] = char(fill[size_t(i)]);
        b[14 + i] = char(text[size_t(i)]);
    }
    const int digits[6] = {number / 100000 % 10, number / 10000 % 10, number / 1000 % 10,
                           number / 100 % 10,    number / 10 % 10,    number % 10};
    for (int i = 0; i < 3; ++i)
        b[17 + i] = char(digits[2 * i] * 16 + digits[2 * i + 1]);
    PutText(b, 21, text1);
    PutText(b, 42, QByteArray());
    return b;
}

// Register pixel word: bit 15 clear, five bits each of red, green, blue.
quint16 Word(QRgb c)
{
    return quint16(((qRed(c) & 0xF8) << 7) | ((qGreen(c) & 0xF8) << 2) | (qBlue(c) >> 3));
}

// The screen file's records from a 1024 x 768 picture given as a colour function.
QList<QByteArray> ScreenRecords(const std::function<QRgb(int, int)>& colourAt)
{
    QByteArray stream;
    const quint32 length = 16 + 2 * kScreenW * kScreenH;
    stream.append('\0');
    for (int s = 24; s >= 0; s -= 8)
        stream.append(char((length >> s) & 0xFF));
    stream.append(5, '\0');
    for (int v : {kScreenW, kScreenH, 2 * kScreenW}) {
        stream.append(char(v >> 8));
        stream.append(char(v & 0xFF));
    }
    for (int y = 0; y < kScreenH; ++y)
        for (int x = 0; x < kScreenW; ++x) {
            const quint16 w = Word(colourAt(x, y));
            stream.append(char(w & 0xFF));
            stream.append(char(w >> 8));
        }
    stream.append(QByteArray(9833 * 160 - stream.size(), '\0'));
    QList<QByteArray> lines;
    for (int rec = 0; rec < 9833; ++rec)
        lines << QByteArray::number(rec + 1).rightJustified(6, '0') + ",\"" +
                     stream.mid(rec * 160, 160).toHex().toUpper() + "\"";
    return lines;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Splits at CR LF; every line must end so.
QList<QByteArray> CrLfLines(const QByteArray& text)
{
    EXPECT_TRUE(text.endsWith("\r\n"));
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

// The "h" line with its date and time fields cut out.
void ExpectTimeLine(const QByteArray& line, const QByteArray& head, const QByteArray& tail)
{
    EXPECT_TRUE(line.startsWith(head)) << line.toStdString();
    EXPECT_TRUE(line.endsWith(tail)) << line.toStdString();
    EXPECT_EQ(line.size(), head.size() + 6 + 3 + 4 + tail.size()) << line.toStdString();
}

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString data = QStringLiteral(QXPAN_TEST_DATA) + "/objdlg-branch";
        ASSERT_TRUE(QFile::copy(data + "/data/funckey.txt", env.Folder("data") + "/funckey.txt"));
        ASSERT_TRUE(
            QFile::copy(data + "/program/FILE002P.TXT", env.Folder("program") + "/FILE002P.TXT"));
        QImage back(kScreenW, kScreenH, QImage::Format_RGB888);
        back.fill(QColor::fromRgb(kBackColour));
        ASSERT_TRUE(back.save(env.Folder("back") + "/plain.bmp", "BMP"));
        QImage stamp(30, 20, QImage::Format_RGB888);
        stamp.fill(QColor::fromRgb(kBitmapColour));
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
    // Chooses the row whose column text equals name, as a click in the item list would.
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
        QWidget* area = &dlg.m_DesignDlg;
        QTest::mousePress(area, Qt::LeftButton, {}, from);
        QTest::mouseMove(area, to);
        QTest::mouseRelease(area, Qt::LeftButton, {}, to);
        dlg.m_DesignDlg.Deselect();
    }

    AppTestEnvironment env;
    CQXPanMainDlg dlg{env.app.get()};
};

TEST_F(EndToEnd, ComposeSaveNewOpenConvert)
{
    dlg.m_cbImageType->setCurrentIndex(1); // "797 - Check Window 22"
    dlg.OnImageTypeChange();
    ChooseRow(kBackground, dlg.m_ObjDlg.m_BgList, "plain.bmp");
    ASSERT_EQ(dlg.m_DesignDlg.m_Background.Width(), kScreenW);

    const QXPanRect clerkAt{101, 103, 211, 157}, pluAt{301, 203, 411, 287},
        tableAt{57, 350, 399, 555}, stampAt{503, 41, 647, 119};
    ChooseRow(kSysKeyRect, dlg.m_ObjDlg.m_SysKeyList, "CLERK");
    Draw({clerkAt.left, clerkAt.top}, {clerkAt.right, clerkAt.bottom});
    ChooseRow(kSysKeyRound, dlg.m_ObjDlg.m_SysKeyList, "PLU");
    Draw({pluAt.right, pluAt.bottom}, {pluAt.left, pluAt.top}); // drawn up and left
    ChooseObjectType(kTableRect);
    dlg.SelectListPosition(0);
    Draw({tableAt.left, tableAt.top}, {tableAt.right, tableAt.bottom});
    ChooseRow(kPlaceBitmap, dlg.m_ObjDlg.m_BmpList, "stamp.bmp");
    Draw({stampAt.left, stampAt.top}, {stampAt.right, stampAt.bottom});

    QList<QByteArray> expected = {
        Record(45, RegisterRect(clerkAt), 1, {255, 255, 255}, {0, 0, 0}, 0, "CLERK"),
        Record(12, RegisterRect(pluAt), 2, {255, 255, 255}, {0, 0, 0}, 0, "PLU"),
        Record(93, RegisterRect(tableAt), 1, {0, 0, 0}, {0, 0, 0}, 0, QByteArray())};
    const auto recordsNow = [this] {
        QList<QByteArray> records;
        for (const CQXPanKeyObj& key : dlg.m_DesignDlg.m_KeyObjs)
            records << QByteArray(reinterpret_cast<const char*>(key.m_Record.bytes.data()), 62);
        return records;
    };
    ASSERT_EQ(recordsNow(), expected);
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[0].DisplayRect(), stampAt);

    const QString pan = env.dir.filePath("design.pan");
    env.ui.QueueFileName(pan);
    dlg.OnSave();
    ASSERT_TRUE(QFile::exists(pan));

    // New asks to save first; the second save of the unchanged design writes the same file.
    const QString again = env.dir.filePath("again.pan");
    env.ui.QueueAnswer(UserInteraction::IDYES);
    env.ui.QueueFileName(again);
    dlg.OnNew();
    EXPECT_EQ(ReadAll(again), ReadAll(pan));
    EXPECT_TRUE(dlg.m_DesignDlg.m_KeyObjs.isEmpty());
    EXPECT_TRUE(dlg.m_DesignDlg.m_BmpObjs.isEmpty());
    // The background is the empty placeholder again.
    ASSERT_GE(dlg.m_nListSel, 0);
    EXPECT_EQ(dlg.m_ObjDlg.m_BgList[size_t(dlg.m_nListSel) + 1].m_strCol1, "Aempty.bmp");

    env.ui.QueueFileName(pan);
    dlg.OnOpen();
    // A table kept with number 0 comes back as table 1.
    expected[2] = Record(93, RegisterRect(tableAt), 1, {0, 0, 0}, {0, 0, 0}, 1, QByteArray());
    EXPECT_EQ(recordsNow(), expected);
    ASSERT_EQ(dlg.m_DesignDlg.m_BmpObjs.size(), 1);
    EXPECT_EQ(dlg.m_DesignDlg.m_BmpObjs[0].DisplayRect(), stampAt);
    EXPECT_EQ(dlg.m_ObjDlg.m_BgList[size_t(dlg.m_nListSel) + 1].m_strCol1, "plain.bmp");

    env.ui.QueueAnswer(UserInteraction::IDOK);
    env.ui.QueueAnswer(UserInteraction::IDOK);
    dlg.OnConvert();
    const QList<ScriptedUserInteraction::Call> messages = env.ui.CallsOf(Kind::MessageBox);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last().text, "Normal end");

    // The screen: the plain background with the stamp in its register rectangle.
    const QXPanRect stampReg = RegisterRect(stampAt);
    const QList<QByteArray> screen = CrLfLines(ReadAll(env.Folder("program") + "/FILE797P.TXT"));
    ASSERT_EQ(screen.size(), 3 + 9833);
    EXPECT_EQ(screen[0], "\"C\",\"n:P0797:\"");
    ExpectTimeLine(screen[1], "\"h\",\"36\",\"01\",\"0000\",\"",
                   "\",\"0001\",\"01\",\"02\",\"9999\"");
    EXPECT_EQ(screen[2], "\"f\",\"FILE797\",\"P\",\"P\",\"0001\"");
    const QList<QByteArray> pixels = ScreenRecords([&](int x, int y) {
        const bool inStamp =
            x >= stampReg.left && x < stampReg.right && y >= stampReg.top && y < stampReg.bottom;
        return inStamp ? kBitmapColour : kBackColour;
    });
    int wrong = 0;
    for (int i = 0; i < 9833; ++i) {
        if (screen[3 + i] != pixels[i] && ++wrong <= 3)
            ADD_FAILURE() << "screen record " << i + 1 << "\n got " << screen[3 + i].toStdString()
                          << "\nwant " << pixels[i].toStdString();
    }
    EXPECT_EQ(wrong, 0);

    // The table: our three records at 81 to 83, every other record free.
    const QList<QByteArray> table = CrLfLines(ReadAll(env.Folder("program") + "/FILE795P.TXT"));
    ASSERT_EQ(table.size(), 3 + 240);
    EXPECT_EQ(table[0], "\"C\",\"n:P0795:\"");
    ExpectTimeLine(table[1], "\"h\",\"32\",\"01\",\"0000\",\"", "\",\"0001\",\"00\",\"02\"");
    EXPECT_EQ(table[2], "\"f\",\"FILE795\",\"P\",\"P\",\"0001\"");
    for (int i = 0; i < 240; ++i) {
        const QByteArray bytes = i >= 80 && i < 83 ? expected[i - 80] : QByteArray(62, '\0');
        EXPECT_EQ(table[3 + i], QByteArray::number(i + 1).rightJustified(6, '0') + ",\"" +
                                    bytes.toHex().toUpper() + "\"")
            << "table record " << i + 1;
    }
}

} // namespace
