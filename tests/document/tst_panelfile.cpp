// Catches: panel files read or written unlike the goldens, lost objects, a wrong background line.
#include "document/CQXPanDocument.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QString DataDir()
{
    return QStringLiteral(QXPAN_TEST_DATA);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

QString Hex(quint32 v, int width)
{
    return QStringLiteral("%1").arg(v, width, 16, QLatin1Char('0')).toUpper();
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
        out << QStringLiteral("    fill=%1 text=%2 cell=%3/%4/%5 number=%6")
                   .arg(Hex(r.Colour(ScreenObjectRecord::FillColour), 6),
                        Hex(r.Colour(ScreenObjectRecord::TextColour), 6),
                        Hex(obj.m_Cell.m_clrFill, 8), Hex(obj.m_Cell.m_clrLabelBk, 8),
                        Hex(obj.m_Cell.m_clrLabel, 8))
                   .arg(obj.GetNumber());
        out << QStringLiteral("    t1=[%1] t2=[%2]").arg(obj.GetText1(), obj.GetText2());
    }
    return out;
}

QString StopName(PanelFile::Stop stop)
{
    switch (stop) {
    case PanelFile::Stop::EndOfFile:
        return QStringLiteral("end-of-file");
    case PanelFile::Stop::NotOpened:
        return QStringLiteral("not-opened");
    case PanelFile::Stop::WrongFile:
        return QStringLiteral("wrong-file");
    case PanelFile::Stop::Declined:
        return QStringLiteral("declined");
    case PanelFile::Stop::ScreenFull:
        return QStringLiteral("screen-full");
    case PanelFile::Stop::NotAnObject:
        return QStringLiteral("not-an-object");
    case PanelFile::Stop::TooManyBitmaps:
        return QStringLiteral("too-many-bitmaps");
    }
    return QString();
}

// A read case folder holds input.pan, case.txt (image type, capacity, lists, answers) and
// expected.txt (the effects asked for, the result and the objects read).
class PanelReadGolden : public ::testing::TestWithParam<std::string>
{};

TEST_P(PanelReadGolden, MatchesExpectation)
{
    const QString dir = DataDir() + QLatin1Char('/') + QString::fromStdString(GetParam());
    int type = 797;
    int capacity = 80;
    QStringList background, placed;
    QList<bool> answers;
    for (const QByteArray& line : ReadAll(dir + QStringLiteral("/case.txt")).split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        const QString key = text.section(QLatin1Char(' '), 0, 0);
        const QString value = text.section(QLatin1Char(' '), 1);
        if (key == QLatin1String("type"))
            type = value.toInt();
        else if (key == QLatin1String("capacity"))
            capacity = value.toInt();
        else if (key == QLatin1String("background"))
            background = value.split(QLatin1Char('|'));
        else if (key == QLatin1String("placed"))
            placed = value.split(QLatin1Char('|'));
        else if (key == QLatin1String("answers")) {
            for (const QString& a : value.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                answers << (a == QLatin1String("yes"));
        }
    }
    ASSERT_FALSE(background.isEmpty()) << "case.txt missing in " << dir.toStdString();

    RecordingHost host(background, placed, answers);
    CQXPanDocument doc;
    doc.m_nKeyCapacity = capacity;
    doc.m_bModified = true;
    doc.AddBmpObj(CQXPanBmpObj()); // replaced by what the file holds
    const PanelFile::ReadResult result =
        PanelFile::Read(dir + QStringLiteral("/input.pan"), type, doc, host);

    QStringList actual = host.m_log;
    if (!result.result) // shown once the reading has stopped
        actual << QStringLiteral("message ") + result.result.Message().text;
    actual << QStringLiteral("result %1 %2").arg(result.result.code).arg(StopName(result.eStop));
    actual << Dump(doc, host);
    QStringList expected;
    for (const QByteArray& line : ReadAll(dir + QStringLiteral("/expected.txt")).split('\n')) {
        if (!line.trimmed().isEmpty())
            expected << QString::fromUtf8(line);
    }
    EXPECT_EQ(actual.join(QLatin1Char('\n')).toStdString(),
              expected.join(QLatin1Char('\n')).toStdString());
    if (result.result) {
        EXPECT_FALSE(doc.m_bModified);
    }
}

std::vector<std::string> ReadCases()
{
    std::vector<std::string> cases;
    const QStringList dirs =
        QDir(DataDir()).entryList({QStringLiteral("panel-read-*")}, QDir::Dirs, QDir::Name);
    for (const QString& d : dirs)
        cases.push_back(d.toStdString());
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, PanelReadGolden, ::testing::ValuesIn(ReadCases()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(11);
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(PanelRead, MissingFileSaysCantOpen)
{
    RecordingHost host({QStringLiteral("h")}, {QStringLiteral("h")});
    CQXPanDocument doc;
    doc.m_nKeyCapacity = 80;
    doc.AddKeyObj();
    const QString path = DataDir() + QStringLiteral("/no-such-folder/x.pan");
    const PanelFile::ReadResult result = PanelFile::Read(path, 797, doc, host);
    EXPECT_EQ(result.result.code, -1);
    EXPECT_EQ(result.result.Message().text, QStringLiteral("can't open \"%1\"").arg(path));
    EXPECT_TRUE(host.m_log.isEmpty());
    EXPECT_EQ(doc.m_KeyObjs.size(), 1); // the design is untouched
}

const QString H = QStringLiteral("File Name         ");

// Background line resolution against the background list.
TEST(PanelRead, ResolvesTheBackgroundLine)
{
    const QStringList list{H, "FILE797P.TXT", "Aempty.bmp", "sky.bmp"};
    const struct
    {
        const char* line;
        int type;
        QStringList names;
        QString effect;
    } cases[] = {
        // First bitmap at index 2: B counts bitmaps from there; entries before it add to the
        // list selection.
        {"BG:1\r\n", 797, list, "select-background listsel=2 item=2"},
        // Beyond the last entry: the first bitmap, selection 0.
        {"BG:5\r\n", 797, list, "select-background listsel=0 item=1"},
        // No bitmap at all: the index past the list.
        {"BG:2", 797, {H}, "select-background listsel=2 item=0"},
        {"BG:0\n", 797, {H, "a.BMP"}, "select-background listsel=0 item=0"},
        // Negative: the screen file of the image type, found without regard to case.
        {"BG:-1\r\n",
         797,
         {H, "FILE796P.TXT", "file797p.txt", "Aempty.bmp"},
         "import-background listsel=1 file=797"},
        // A bitmap met first: the empty background.
        {"BG:-1\r\n",
         799,
         {H, "FILE797P.TXT", "Aempty.bmp", "FILE799P.TXT"},
         "empty-background listsel=0"},
        // Search runs out: the last index.
        {"BG:-3\r\n", 798, {H, "FILE797P.TXT"}, "import-background listsel=1 file=798"},
        // Numbers at the limit of an int.
        {"BG:99999999999\r\n",
         797,
         {H, "FILE797P.TXT", "a.bmp"},
         "select-background listsel=0 item=1"},
        {"BG:2147483647\r\n",
         797,
         {H, "FILE797P.TXT"},
         "select-background listsel=2147483647 item=1"},
        {"BG:-99999999999\r\n",
         797,
         {H, "x.txt", "FILE797P.TXT"},
         "import-background listsel=1 file=797"},
        // "BG" with no number reads as 0.
        {"BGx\r\n", 797, {H, "a.bmp"}, "select-background listsel=0 item=0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        QByteArray text = c.line;
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        RecordingHost host(c.names, {QStringLiteral("h")});
        CQXPanDocument doc;
        EXPECT_TRUE(PanelFile::Read(buffer, c.type, doc, host).result);
        ASSERT_EQ(host.m_log.size(), 3);
        EXPECT_EQ(host.m_log[1], c.effect);
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
                "ABCDEFGHIJKLMNOPQRST", "DEF")};
        for (const CQXPanKeyObj& key : keys)
            doc.AddKeyObj(&key);
        CQXPanKeyObj hollow;
        hollow.SetRegisterRect(0, 700, 100, 767);
        hollow.SetTypeCode(7);
        hollow.SetShape(rect);
        hollow.SetFillColour(kQXPanHollow, true);
        hollow.SetText1(QString());
        hollow.SetText2(QString());
        doc.AddKeyObj(&hollow);
    }
};

TEST(PanelWrite, MatchesGoldenFile)
{
    WriteFixture f;
    const QByteArray text =
        PanelFile::Serialize(f.doc, 1, QStringLiteral("/branch/Bitmap"), f.rows);
    EXPECT_EQ(
        text.toStdString(),
        ReadAll(DataDir() + QStringLiteral("/panel-write-design/expected.pan")).toStdString());
    EXPECT_EQ(PanelFile::Serialize(CQXPanDocument(), -2, QString(), {}), QByteArray("BG:-2\r\n"));
}

TEST(PanelWrite, FileRoundTripKeepsEveryObject)
{
    WriteFixture f;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
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

TEST(PanelWrite, UnwritablePathFails)
{
    WriteFixture f;
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString path = tmp.filePath(QStringLiteral("missing/folder/x.pan"));
    const FileResult written = PanelFile::Write(path, f.doc, 0, QString(), f.rows);
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.reason.isEmpty());
    EXPECT_TRUE(written.Text().startsWith(tmp.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(PanelFile::CantOpenText(QStringLiteral("/a/b.pan")),
              QStringLiteral("can't open \"/a/b.pan\""));
}

} // namespace
