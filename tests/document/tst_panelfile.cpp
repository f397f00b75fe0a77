// Catches: panel files read or written unlike the goldens, lost objects, a wrong background line.
#include "document/CQXPanDocument.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

namespace {

using TestFiles::Read;

const QString kData = QStringLiteral(QXPAN_TEST_DATA);
const QString H = QStringLiteral("File Name         ");

// Records every effect the reader asks for, and answers the missing-bitmap question from a list.
// Placed-bitmap rows 1 and 2 have an image each.
struct RecordingHost : PanelReadHost
{
    RecordingHost(QStringList background, QStringList placed, QList<bool> answers = {})
        : m_background(background), m_placed(placed), m_answers(answers)
    {
        m_images[1].Create(8, 8, 24);
        m_images[2].Create(8, 8, 24);
    }
    void BeginRead() override { m_log << "begin"; }
    void EndRead() override { m_log << "end"; }
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
        obj.SetImage(&m_images[j], &m_placed[j]);
        return true;
    }
    bool AskContinue(const QString& fileName, const QString& question) override
    {
        const bool yes = m_answers.isEmpty() || m_answers.takeFirst();
        EXPECT_EQ(question, PanelFile::MissingBitmapText(fileName));
        m_log << QStringLiteral("ask %1 -> %2").arg(fileName, yes ? "yes" : "no");
        return yes;
    }

    QStringList m_log, m_background, m_placed;
    QList<bool> m_answers;
    CDibImage m_images[3];
};

QString Rect(const QXPanRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom);
}

const char* const kStops[] = {"end-of-file", "not-opened",    "wrong-file",      "declined",
                              "screen-full", "not-an-object", "too-many-bitmaps"};

// Each panel-read-* folder holds input.pan (none: a file that is not there), case.txt (image type,
// capacity, lists, answers) and expected.txt (the effects asked for, the result and the objects
// read, one line per object, @DIR@ for the folder). panel-read-design reads the write golden.
TEST(PanelRead, MatchesTheGoldenFolders)
{
    const QStringList dirs = QDir(kData).entryList({"panel-read-*"}, QDir::Dirs, QDir::Name);
    ASSERT_GE(dirs.size(), 12);
    for (const QString& name : dirs) {
        SCOPED_TRACE(name.toStdString());
        const QString dir = kData + QLatin1Char('/') + name;
        QMap<QString, QString> c; // key -> value of case.txt
        for (const QByteArray& line : Read(dir + QStringLiteral("/case.txt")).split('\n'))
            c[QString(line).section(' ', 0, 0)] = QString(line).section(' ', 1).trimmed();
        QList<bool> answers;
        for (const QString& a : c.value("answers").split(' ', Qt::SkipEmptyParts))
            answers << (a == QLatin1String("yes"));
        RecordingHost host(c["background"].split('|'), c["placed"].split('|'), answers);
        CQXPanDocument doc;
        doc.m_nKeyCapacity = c.value("capacity").toInt();
        doc.m_bModified = true;
        doc.AddBmpObj(CQXPanBmpObj()); // replaced by what the file holds
        const PanelFile::ReadResult result =
            PanelFile::Read(dir + QStringLiteral("/input.pan"), c["type"].toInt(), doc, host);
        QStringList actual = host.m_log;
        if (!result.result) // shown once the reading has stopped
            actual << QStringLiteral("message ") + result.result.Message().text;
        actual << QStringLiteral("result %1 ").arg(result.result.code) + kStops[int(result.eStop)];
        for (const CQXPanBmpObj& obj : doc.m_BmpObjs) {
            actual << QStringLiteral("bmp row=%1 name=%2 reg=%3 disp=%4")
                          .arg(obj.m_pImage ? obj.m_pImage - host.m_images : -1)
                          .arg(obj.m_strFileName, Rect(obj.m_rcRegister), Rect(obj.DisplayRect()));
        }
        for (const CQXPanKeyObj& obj : doc.m_KeyObjs) {
            const ScreenObjectRecord& r = obj.m_Record;
            actual << QStringLiteral("key type=%1 reg=%2 disp=%3 shape=%4")
                          .arg(obj.TypeCode())
                          .arg(Rect(obj.RegisterRect()), Rect(obj.DisplayRect()))
                          .arg(obj.Shape());
            actual << QString::asprintf("    fill=%06X text=%06X cell=%08X/%08X/%08X number=%d",
                                        r.Colour(ScreenObjectRecord::FillColour),
                                        r.Colour(ScreenObjectRecord::TextColour),
                                        obj.m_Cell.m_clrFill, obj.m_Cell.m_clrLabelBk,
                                        obj.m_Cell.m_clrLabel, obj.GetNumber());
            actual << QStringLiteral("    t1=[%1] t2=[%2]").arg(obj.GetText1(), obj.GetText2());
        }
        const QString expected = QString::fromUtf8(Read(dir + QStringLiteral("/expected.txt")));
        EXPECT_EQ(actual.join('\n').toStdString(),
                  expected.trimmed().replace("@DIR@", dir).toStdString());
        EXPECT_FALSE(result.result && doc.m_bModified) << "a whole read leaves it unmodified";
    }
}

// Background line resolution against the background list (names after the heading), and the
// number saved for a list selection, which must read back as that selection.
TEST(PanelBackground, LineReadAndNumberSaved)
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
        RecordingHost host(QStringList{H} + QString(c.names).split('|', Qt::SkipEmptyParts), {H});
        CQXPanDocument doc;
        EXPECT_TRUE(PanelFile::Read(buffer, c.type, doc, host).result);
        EXPECT_EQ(host.m_log, (QStringList{"begin", c.effect, "end"}));
    }
    const QStringList list{H, "FILE797P.TXT", "Aempty.bmp", "sky.bmp"}; // the first row above
    EXPECT_EQ(PanelFile::BackgroundNumberForSave(list, 2), 1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave(list, 0), -1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H, "FILE797P.TXT", "x.Bmp"}, 2), 1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H, "FILE797P.TXT", "FILE798P.TXT"}, 1), -1);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({H}, 3), 3);
    EXPECT_EQ(PanelFile::BackgroundNumberForSave({}, 0), 0);
}

TEST(PanelWrite, MatchesTheGoldenFileOrNamesTheUnwritablePath)
{
    RecordingHost host{{}, {H, "icon.bmp", "logo.bmp"}};
    const QList<PanelFile::BitmapRow> rows{
        {H, nullptr}, {"icon.bmp", &host.m_images[1]}, {"logo.bmp", &host.m_images[2]}};
    CDibImage stray;
    stray.Create(4, 4, 24);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    for (const auto& [image, r] : {std::pair{&host.m_images[2], QXPanRect{10, 20, 110, 220}},
                                   {&stray, {0, 0, 300, 300}},  // not in the list: left out
                                   {nullptr, {0, 0, 300, 300}}, // no image: left out as well
                                   {&host.m_images[1], {-5, -7, 59, 41}}}) {
        CQXPanBmpObj obj;
        obj.SetImage(image);
        obj.SetRegisterRect(r);
        doc.AddBmpObj(obj);
    }
    // Rectangle, type, shape, fill and text colours (explicit or not), number, texts.
    for (const auto& [r, type, shape, fill, text, mine, number, text1, text2] :
         {std::tuple{QXPanRect{40, 30, 240, 130}, 12, 1, 0x0000FFu, 0xFFFFFFu, true, 5u, "  CASH",
                     ""},
          {{300, 300, 500, 400}, 93, 2, kQXPanTableFill, 0u, false, 0u, "Table", ""},
          {{600, 500, 800, 700},
           300,
           2,
           0x00FF00u,
           0u,
           true,
           123456u,
           "ABCDEFGHIJKLMNOPQRST",
           "DEF"},
          {{0, 700, 100, 767}, 7, 1, kQXPanHollow, 0u, true, 0u, "", ""}}) {
        CQXPanKeyObj key;
        key.SetRegisterRect(r.left, r.top, r.right, r.bottom);
        key.SetTypeCode(quint16(type));
        key.SetShape(quint8(shape));
        key.SetFillColour(fill, mine);
        key.SetTextColour(text, mine);
        key.SetNumber(number);
        key.SetText1(text1);
        key.SetText2(text2);
        doc.AddKeyObj(&key);
    }
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("design")); // no extension: used as typed
    ASSERT_TRUE(PanelFile::Write(path, doc, 1, QStringLiteral("/branch/Bitmap"), rows));
    EXPECT_EQ(Read(path).toStdString(),
              Read(kData + QStringLiteral("/panel-write-design/expected.pan")).toStdString());
    EXPECT_EQ(PanelFile::Serialize(CQXPanDocument(), -2, QString(), {}), QByteArray("BG:-2\r\n"));
    const FileResult written =
        PanelFile::Write(tmp.filePath(QStringLiteral("missing/folder/x.pan")), doc, 0, {}, rows);
    EXPECT_FALSE(written || written.reason.isEmpty());
    EXPECT_TRUE(written.Text().startsWith(tmp.filePath(QStringLiteral("missing"))));
}

} // namespace
