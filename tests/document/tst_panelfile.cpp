// Catches: panel files read or written unlike the goldens, lost objects, a wrong background line.
#include "document/CQXPanDocument.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace {

using TestFiles::Read;

const QString kData = QStringLiteral(QXPAN_TEST_DATA);

// Records every effect the reader asks for, and answers the missing-bitmap question from a list.
class RecordingHost : public PanelReadHost
{
public:
    RecordingHost(QStringList background, QStringList placed, QList<bool> answers = {})
        : m_background(std::move(background)), m_placed(std::move(placed)),
          m_answers(std::move(answers))
    {
        for (qsizetype j = 0; j < m_placed.size(); ++j) {
            m_images.push_back(std::make_unique<CDibImage>());
            if (j > 0)
                m_images.back()->Create(8, 8, 24);
        }
    }

    void BeginRead() override { m_log << QStringLiteral("begin"); }
    void EndRead() override { m_log << QStringLiteral("end"); }
    QStringList BackgroundNames() const override { return m_background; }
    QStringList PlacedBitmapNames() const override { return m_placed; }
    void SelectBackgroundItem(int nListSel, int nItem) override
    {
        m_log << QStringLiteral("select-background listsel=%1 item=%2").arg(nListSel).arg(nItem);
    }
    void LoadEmptyBackground(int nListSel) override
    {
        m_log << QStringLiteral("empty-background listsel=%1").arg(nListSel);
    }
    void ImportScreenBackground(int nListSel, int fileNumber) override
    {
        m_log
            << QStringLiteral("import-background listsel=%1 file=%2").arg(nListSel).arg(fileNumber);
    }
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override
    {
        m_log << QStringLiteral("take-bitmap row=%1").arg(j);
        obj.SetImage(m_images[j].get(), &m_placed[j]);
        return true;
    }
    bool AskContinue(const QString& fileName, const QString& question) override
    {
        const bool yes = m_answers.isEmpty() ? true : m_answers.takeFirst();
        EXPECT_EQ(question, PanelFile::MissingBitmapText(fileName));
        m_log << QStringLiteral("ask %1 -> %2").arg(fileName, yes ? "yes" : "no");
        return yes;
    }

    int RowOf(const CDibImage* image) const
    {
        for (size_t j = 0; j < m_images.size(); ++j) {
            if (m_images[j].get() == image)
                return int(j);
        }
        return -1;
    }
    CDibImage* Image(int j) const { return m_images[j].get(); }
    QStringList m_log;

private:
    QStringList m_background;
    QStringList m_placed;
    QList<bool> m_answers;
    std::vector<std::unique_ptr<CDibImage>> m_images;
};

QString Rect(const QXPanRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

// The document as text, one line per object, for comparison with hand-written expectations.
QStringList Dump(const CQXPanDocument& doc, const RecordingHost& host)
{
    QStringList out;
    for (const CQXPanBmpObj& obj : doc.m_BmpObjs) {
        out << QStringLiteral("bmp row=%1 name=%2 reg=%3 disp=%4")
                   .arg(host.RowOf(obj.m_pImage))
                   .arg(obj.m_strFileName, Rect(obj.m_rcRegister), Rect(obj.DisplayRect()));
    }
    for (const CQXPanKeyObj& obj : doc.m_KeyObjs) {
        const ScreenObjectRecord& r = obj.m_Record;
        out << QStringLiteral("key type=%1 reg=%2 disp=%3 shape=%4")
                   .arg(obj.TypeCode())
                   .arg(Rect(obj.RegisterRect()), Rect(obj.DisplayRect()))
                   .arg(obj.Shape());
        out << QString::asprintf("    fill=%06X text=%06X cell=%08X/%08X/%08X number=%d",
                                 r.Colour(ScreenObjectRecord::FillColour),
                                 r.Colour(ScreenObjectRecord::TextColour), obj.m_Cell.m_clrFill,
                                 obj.m_Cell.m_clrLabelBk, obj.m_Cell.m_clrLabel, obj.GetNumber());
        out << QStringLiteral("    t1=[%1] t2=[%2]").arg(obj.GetText1(), obj.GetText2());
    }
    return out;
}

const char* const kStops[] = {"end-of-file", "not-opened",    "wrong-file",      "declined",
                              "screen-full", "not-an-object", "too-many-bitmaps"};

// Each panel-read-* folder holds input.pan (none: a file that is not there), case.txt (image type,
// capacity, lists, answers) and expected.txt (the effects asked for, the result and the objects
// read, @DIR@ for the folder).
TEST(PanelRead, MatchesTheGoldenFolders)
{
    const QStringList dirs = QDir(kData).entryList({"panel-read-*"}, QDir::Dirs, QDir::Name);
    ASSERT_GE(dirs.size(), 11);
    for (const QString& name : dirs) {
        SCOPED_TRACE(name.toStdString());
        const QString dir = kData + QLatin1Char('/') + name;
        QMap<QString, QString> c; // key -> value of case.txt
        for (const QByteArray& line : Read(dir + QStringLiteral("/case.txt")).split('\n')) {
            const QString text = QString::fromUtf8(line).trimmed();
            c[text.section(QLatin1Char(' '), 0, 0)] = text.section(QLatin1Char(' '), 1);
        }
        ASSERT_TRUE(c.contains("background")) << "case.txt missing";
        QList<bool> answers;
        for (const QString& a : c.value("answers").split(QLatin1Char(' '), Qt::SkipEmptyParts))
            answers << (a == QLatin1String("yes"));
        RecordingHost host(c["background"].split('|'), c["placed"].split('|'), answers);
        CQXPanDocument doc;
        doc.m_nKeyCapacity = c.value("capacity", "80").toInt();
        doc.m_bModified = true;
        doc.AddBmpObj(CQXPanBmpObj()); // replaced by what the file holds
        const PanelFile::ReadResult result = PanelFile::Read(
            dir + QStringLiteral("/input.pan"), c.value("type", "797").toInt(), doc, host);
        QStringList actual = host.m_log;
        if (!result.result) // shown once the reading has stopped
            actual << QStringLiteral("message ") + result.result.Message().text;
        actual << QStringLiteral("result %1 ").arg(result.result.code) + kStops[int(result.eStop)];
        actual << Dump(doc, host);
        const QString expected = QString::fromUtf8(Read(dir + QStringLiteral("/expected.txt")));
        EXPECT_EQ(actual.join('\n').toStdString(),
                  expected.trimmed().replace("@DIR@", dir).toStdString());
        EXPECT_FALSE(result.result && doc.m_bModified) << "a whole read leaves it unmodified";
    }
}

const QString H = QStringLiteral("File Name         ");

// Background line resolution against the background list (names after the heading).
TEST(PanelRead, ResolvesTheBackgroundLine)
{
    const struct
    {
        const char* line;
        int type;
        const char* names;
        const char* effect;
    } cases[] = {
        // First bitmap at index 2: B counts bitmaps from there; entries before it add to the
        // list selection. Beyond the last entry: the first bitmap, selection 0.
        {"BG:1\r\n", 797, "FILE797P.TXT|Aempty.bmp|sky.bmp", "select-background listsel=2 item=2"},
        {"BG:5\r\n", 797, "FILE797P.TXT|Aempty.bmp|sky.bmp", "select-background listsel=0 item=1"},
        // No bitmap at all: the index past the list.
        {"BG:2", 797, "", "select-background listsel=2 item=0"},
        {"BG:0\n", 797, "a.BMP", "select-background listsel=0 item=0"},
        // Negative: the screen file of the image type, found without regard to case; a bitmap
        // met first gives the empty background; a search that runs out, the last index.
        {"BG:-1\r\n", 797, "FILE796P.TXT|file797p.txt|Aempty.bmp",
         "import-background listsel=1 file=797"},
        {"BG:-1\r\n", 799, "FILE797P.TXT|Aempty.bmp|FILE799P.TXT", "empty-background listsel=0"},
        {"BG:-3\r\n", 798, "FILE797P.TXT", "import-background listsel=1 file=798"},
        // Numbers at the limit of an int; "BG" with no number reads as 0.
        {"BG:99999999999\r\n", 797, "FILE797P.TXT|a.bmp", "select-background listsel=0 item=1"},
        {"BG:2147483647\r\n", 797, "FILE797P.TXT", "select-background listsel=2147483647 item=1"},
        {"BG:-99999999999\r\n", 797, "x.txt|FILE797P.TXT", "import-background listsel=1 file=797"},
        {"BGx\r\n", 797, "a.bmp", "select-background listsel=0 item=0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        QByteArray text = c.line;
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        RecordingHost host(QStringList{H} + QString(c.names).split('|', Qt::SkipEmptyParts),
                           {QStringLiteral("h")});
        CQXPanDocument doc;
        EXPECT_TRUE(PanelFile::Read(buffer, c.type, doc, host).result);
        EXPECT_EQ(host.m_log, (QStringList{"begin", c.effect, "end"}));
    }
}

TEST(PanelWrite, BackgroundNumberCountsFromTheFirstBitmap)
{
    const QStringList list{H, "FILE797P.TXT", "Aempty.bmp", "sky.bmp"};
    EXPECT_EQ(PanelFile::BackgroundNumberForSave(list, 2), 1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave(list, 0), -1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H, "FILE797P.TXT", "x.Bmp"}, 2), 1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H, "FILE797P.TXT", "FILE798P.TXT"}, 1), -1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H}, 3), 3);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({}, 0), 0);
}

CQXPanKeyObj Key(QXPanRect r, quint16 type, quint8 shape, quint32 fill, quint32 text,
                 bool explicitColours, quint32 number, const QString& text1,
                 const QString& text2 = QString())
{
    CQXPanKeyObj key;
    key.SetRegisterRect(r.left, r.top, r.right, r.bottom);
    key.SetTypeCode(type);
    key.SetShape(shape);
    key.SetFillColour(fill, explicitColours);
    key.SetTextColour(text, explicitColours);
    key.SetNumber(number);
    key.SetText1(text1);
    key.SetText2(text2);
    return key;
}

struct WriteFixture
{
    RecordingHost host{{H, "FILE797P.TXT", "Aempty.bmp", "sky.bmp"}, {H, "icon.bmp", "logo.bmp"}};
    CDibImage stray;
    CQXPanDocument doc;
    QList<PanelFile::BitmapRow> rows;
    WriteFixture()
    {
        stray.Create(4, 4, 24);
        rows << PanelFile::BitmapRow{H, nullptr}
             << PanelFile::BitmapRow{QStringLiteral("icon.bmp"), host.Image(1)}
             << PanelFile::BitmapRow{QStringLiteral("logo.bmp"), host.Image(2)};
        doc.m_nKeyCapacity = 80;
        const auto bmp = [&](CDibImage* image, QXPanRect r) {
            CQXPanBmpObj obj;
            obj.SetImage(image);
            obj.SetRegisterRect(r);
            doc.AddBmpObj(obj);
        };
        bmp(host.Image(2), {10, 20, 110, 220});
        bmp(&stray, {0, 0, 300, 300});  // not in the list: left out
        bmp(nullptr, {0, 0, 300, 300}); // no image: left out as well
        bmp(host.Image(1), {-5, -7, 59, 41});
        const quint8 rect = ScreenObjectRecord::ShapeRectangle;
        const quint8 ellipse = ScreenObjectRecord::ShapeEllipse;
        const CQXPanKeyObj keys[] = {
            Key({40, 30, 240, 130}, 12, rect, 0x0000FF, 0xFFFFFF, true, 5, "  CASH"),
            Key({300, 300, 500, 400}, 93, ellipse, kQXPanTableFill, 0, false, 0, "Table"),
            Key({600, 500, 800, 700}, 300, ellipse, 0x00FF00, 0, true, 123456,
                "ABCDEFGHIJKLMNOPQRST", "DEF"),
            Key({0, 700, 100, 767}, 7, rect, kQXPanHollow, 0, true, 0, QString())};
        for (const CQXPanKeyObj& key : keys)
            doc.AddKeyObj(&key);
    }
};

TEST(PanelWrite, MatchesTheGoldenFileOrNamesTheUnwritablePath)
{
    WriteFixture f;
    const QByteArray text =
        PanelFile::Serialize(f.doc, 1, QStringLiteral("/branch/Bitmap"), f.rows);
    EXPECT_EQ(text.toStdString(),
              Read(kData + QStringLiteral("/panel-write-design/expected.pan")).toStdString());
    EXPECT_EQ(PanelFile::Serialize(CQXPanDocument(), -2, QString(), {}), QByteArray("BG:-2\r\n"));
    QTemporaryDir tmp;
    const FileResult written = PanelFile::Write(
        tmp.filePath(QStringLiteral("missing/folder/x.pan")), f.doc, 0, {}, f.rows);
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason.isEmpty());
    EXPECT_TRUE(written.Text().startsWith(tmp.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(PanelFile::CantOpenText(QStringLiteral("/a/b.pan")),
              QStringLiteral("can't open \"/a/b.pan\""));
}

TEST(PanelWrite, FileRoundTripKeepsEveryObject)
{
    WriteFixture f;
    QTemporaryDir tmp;
    // Typed without an extension: used as typed.
    const QString path = tmp.filePath(QStringLiteral("design"));
    const int number = PanelFile::BackgroundNumberForSave(f.host.BackgroundNames(), 2);
    const FileResult written =
        PanelFile::Write(path, f.doc, number, QStringLiteral("C:\\other\\bitmaps"), f.rows);
    ASSERT_TRUE(written) << qPrintable(written.Text());
    CQXPanDocument back;
    back.m_nKeyCapacity = 80;
    const PanelFile::ReadResult result = PanelFile::Read(path, 797, back, f.host);
    EXPECT_TRUE(result.result);
    EXPECT_EQ(result.eStop, PanelFile::Stop::EndOfFile);
    EXPECT_EQ(f.host.m_log[1], QStringLiteral("select-background listsel=2 item=2"));
    ASSERT_EQ(back.m_BmpObjs.size(), 2);
    for (const auto& [i, j] : {std::pair{0, 0}, std::pair{1, 3}}) {
        EXPECT_EQ(back.m_BmpObjs[i].m_pImage, f.doc.m_BmpObjs[j].m_pImage);
        EXPECT_EQ(back.m_BmpObjs[i].m_rcRegister, f.doc.m_BmpObjs[j].m_rcRegister);
    }
    EXPECT_EQ(back.m_BmpObjs[1].m_strFileName, QStringLiteral("icon.bmp"));
    ASSERT_EQ(back.m_KeyObjs.size(), f.doc.m_KeyObjs.size());
    for (qsizetype i = 0; i < back.m_KeyObjs.size(); ++i) {
        SCOPED_TRACE(i);
        ScreenObjectRecord expected = f.doc.m_KeyObjs[i].m_Record;
        if (i == 0) // leading blanks are not kept
            std::copy_n("CASH  ", 6, expected.bytes.begin() + ScreenObjectRecord::Text1);
        if (i == 1) // a table of number 0 comes back as number 1
            expected.bytes[ScreenObjectRecord::Number + 2] = 0x01;
        EXPECT_EQ(back.m_KeyObjs[i].m_Record, expected);
        EXPECT_EQ(back.m_KeyObjs[i].m_Cell.m_clrFill, f.doc.m_KeyObjs[i].m_Cell.m_clrFill);
        EXPECT_EQ(back.m_KeyObjs[i].m_Cell.m_clrLabel, f.doc.m_KeyObjs[i].m_Cell.m_clrLabel);
    }
}

} // namespace
