#include "cli/CliDesignJson.h"

#include "cli/CliTable.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "image/CDibImage.h"

#include <QJsonArray>

#include <map>

namespace CliDesignJson {

namespace {

QJsonValue ColourJson(QXPanColor colour)
{
    return colour == kQXPanHollow ? QJsonValue(QStringLiteral("none"))
                                  : QJsonValue(CliTable::ColourText(colour));
}

QJsonObject RectJson(QJsonObject object, const QXPanRect& r)
{
    object.insert(QStringLiteral("left"), r.left);
    object.insert(QStringLiteral("top"), r.top);
    object.insert(QStringLiteral("right"), r.right);
    object.insert(QStringLiteral("bottom"), r.bottom);
    return object;
}

// Reads the fields of one JSON object, each checked against its range; the first wrong one
// makes the error, which names it as "keys[2].right".
class Fields
{
public:
    Fields(const QJsonObject& object, QString name, QString& error)
        : m_object(object), m_name(std::move(name)), m_error(error)
    {}
    bool Fail(const QString& field, const QString& why)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1%2: %3").arg(m_name, field, why);
        return false;
    }
    int Int(const QString& field, qint64 low, qint64 high)
    {
        m_known << field;
        const QJsonValue v = m_object.value(field);
        const double d = v.toDouble();
        if (!v.isDouble() || d != double(qint64(d)) || d < double(low) || d > double(high)) {
            Fail(field, QStringLiteral("must be a whole number from %1 to %2").arg(low).arg(high));
            return int(low);
        }
        return int(d);
    }
    QString Text(const QString& field, bool optional = false)
    {
        m_known << field;
        const QJsonValue v = m_object.value(field);
        if (!v.isString() && !(optional && v.isUndefined()))
            Fail(field, QStringLiteral("must be a text"));
        return v.toString();
    }
    QXPanColor Colour(const QString& field)
    {
        const QString text = Text(field);
        if (text == QLatin1String("none"))
            return kQXPanHollow;
        bool ok = false;
        const uint rgb = text.mid(1).toUInt(&ok, 16);
        if (!ok || text.size() != 7 || !text.startsWith(u'#'))
            Fail(field, QStringLiteral("must be \"#RRGGBB\" or \"none\""));
        return QXPanRgb(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
    }
    QXPanRect Rect()
    {
        // Braced: the fields are read, and a wrong one named, in this order.
        return {Int(QStringLiteral("left"), 0, kQXPanScreenRect.right - 1),
                Int(QStringLiteral("top"), 0, kQXPanScreenRect.bottom - 1),
                Int(QStringLiteral("right"), 0, kQXPanScreenRect.right - 1),
                Int(QStringLiteral("bottom"), 0, kQXPanScreenRect.bottom - 1)};
    }
    void Known(const QStringList& fields) { m_known += fields; }
    bool NoOthers()
    {
        for (const QString& key : m_object.keys()) {
            if (!m_known.contains(key))
                return Fail(key, QStringLiteral("is not a field of a design"));
        }
        return m_error.isEmpty();
    }

private:
    const QJsonObject& m_object;
    QString m_name;
    QString& m_error;
    QStringList m_known;
};

QJsonArray ArrayOf(const QJsonObject& json, const QString& name, QString& error)
{
    const QJsonValue v = json.value(name);
    if (!v.isArray() && error.isEmpty())
        error = name + QStringLiteral(": must be a list");
    return v.toArray();
}

} // namespace

QJsonObject ToJson(const CQXPanDocument& design, const Panel& panel)
{
    QJsonArray bitmaps;
    for (qsizetype i = 0; i < design.m_BmpObjs.size(); ++i) {
        const CQXPanBmpObj& obj = design.m_BmpObjs[i];
        bitmaps.append(RectJson({{"file", obj.m_strFileName}, {"row", panel.bitmapRows.value(i)}},
                                obj.m_rcRegister));
    }
    QJsonArray keys;
    for (const CQXPanKeyObj& key : design.m_KeyObjs) {
        const QByteArray record(reinterpret_cast<const char*>(key.m_Record.data()),
                                kQXPanRecordSize);
        keys.append(RectJson({{"type", key.TypeCode()},
                              {"shape", key.Shape()},
                              {"fill", ColourJson(key.m_Cell.m_clrFill)},
                              {"textColour", ColourJson(key.m_Cell.m_clrLabel)},
                              {"number", key.GetNumber()},
                              {"text1", key.GetText1()},
                              {"text2", key.GetText2()},
                              {"record", QString::fromLatin1(record.toHex().toUpper())}},
                             key.RegisterRect()));
    }
    return {
        {"type", panel.nType},
        {"background", QJsonObject{{"number", panel.nBackground}, {"file", panel.strBackground}}},
        {"bitmapFolder", panel.strPlacedFolder},
        {"bitmaps", bitmaps},
        {"keys", keys},
        {"messages", QJsonArray::fromStringList(panel.messages)}};
}

Parsed FromJson(const QJsonObject& json)
{
    Parsed parsed;
    QString& error = parsed.error;
    parsed.design = std::make_unique<CQXPanDocument>();
    CQXPanDocument& design = *parsed.design;
    Fields top(json, QString(), error);
    parsed.panel.nType = top.Int(QStringLiteral("type"), 796, 799);
    parsed.panel.strPlacedFolder = top.Text(QStringLiteral("bitmapFolder"));
    const QJsonObject background = json.value(QStringLiteral("background")).toObject();
    Fields bg(background, QStringLiteral("background."), error);
    parsed.panel.nBackground = bg.Int(QStringLiteral("number"), INT_MIN, INT_MAX);
    parsed.panel.strBackground = bg.Text(QStringLiteral("file"), true);
    bg.NoOthers();
    // What opening the design said is for the reader; import does not need it.
    if (json.contains(QStringLiteral("messages")))
        ArrayOf(json, QStringLiteral("messages"), error);
    const QJsonArray bitmaps = ArrayOf(json, QStringLiteral("bitmaps"), error);
    const QJsonArray keys = ArrayOf(json, QStringLiteral("keys"), error);
    top.Known({QStringLiteral("background"), QStringLiteral("bitmaps"), QStringLiteral("keys"),
               QStringLiteral("messages")});
    top.NoOthers();

    std::map<int, QString> rowNames;
    for (qsizetype i = 0; i < bitmaps.size() && error.isEmpty(); ++i) {
        Fields f(bitmaps[i].toObject(), QStringLiteral("bitmaps[%1].").arg(i), error);
        const QString file = f.Text(QStringLiteral("file"));
        const int row = f.Int(QStringLiteral("row"), 1, PanelFile::kMaxPlacedBitmaps);
        const QXPanRect r = f.Rect();
        if (!f.NoOthers())
            break;
        if (const auto [at, added] = rowNames.emplace(row, file); !added && at->second != file) {
            f.Fail(QStringLiteral("row"), QStringLiteral("names another file than an earlier "
                                                         "bitmap of the same row"));
            break;
        }
        CQXPanBmpObj obj;
        obj.m_strFileName = file;
        obj.SetRegisterRect(r);
        parsed.panel.bitmapRows.append(row);
        design.m_BmpObjs.append(obj);
    }
    // The placed-bitmap list as the writer sees it: a stand-in image per row used.
    const int rowCount = rowNames.empty() ? 1 : rowNames.rbegin()->first + 1;
    parsed.rows.resize(rowCount);
    std::map<int, CDibImage*> standIns;
    for (const auto& [row, name] : rowNames) {
        parsed.images.push_back(std::make_unique<CDibImage>());
        standIns[row] = parsed.images.back().get();
        parsed.rows[row] = {name, standIns[row]};
    }
    for (qsizetype i = 0; i < design.m_BmpObjs.size(); ++i)
        design.m_BmpObjs[i].m_pImage = standIns[parsed.panel.bitmapRows[i]];

    for (qsizetype i = 0; i < keys.size() && error.isEmpty(); ++i) {
        Fields f(keys[i].toObject(), QStringLiteral("keys[%1].").arg(i), error);
        CQXPanKeyObj key;
        const QString hex = f.Text(QStringLiteral("record"), true);
        const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
        if (!hex.isEmpty() && bytes.size() != kQXPanRecordSize)
            f.Fail(QStringLiteral("record"), QStringLiteral("must be 124 hex digits"));
        else if (!hex.isEmpty())
            key.SetFromRecord(reinterpret_cast<const quint8*>(bytes.constData()));
        // The fields say what the key is; the record keeps the bytes they do not name.
        key.SetTypeCode(quint16(f.Int(QStringLiteral("type"), 0, 65535)));
        key.SetShape(quint8(f.Int(QStringLiteral("shape"), 0, 255)));
        const QXPanRect r = f.Rect();
        if (!(key.RegisterRect() == r))
            key.SetRegisterRect(r.left, r.top, r.right, r.bottom);
        const int number = f.Int(QStringLiteral("number"), 0, 999999);
        if (key.GetNumber() != number)
            key.SetNumber(quint32(number));
        for (const auto& [field, offset] :
             {std::pair{QStringLiteral("text1"), 1}, {QStringLiteral("text2"), 2}}) {
            const QString text = f.Text(field);
            if (text.size() > 20 || QString::fromLatin1(text.toLatin1()) != text)
                f.Fail(field, QStringLiteral("must be at most 20 Latin-1 characters"));
            else if ((offset == 1 ? key.GetText1() : key.GetText2()) != text)
                offset == 1 ? key.SetText1(text) : key.SetText2(text);
        }
        key.m_Cell.m_clrFill = f.Colour(QStringLiteral("fill"));
        key.m_Cell.m_clrLabelBk = key.m_Cell.m_clrFill;
        key.m_Cell.m_clrLabel = f.Colour(QStringLiteral("textColour"));
        if (f.NoOthers())
            design.m_KeyObjs.append(key);
    }
    return parsed;
}

} // namespace CliDesignJson
