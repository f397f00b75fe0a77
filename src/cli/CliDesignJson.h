#pragma once

#include "document/PanelFile.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class CDibImage;
class CQXPanDocument;

/// A design as JSON, holding everything the panel file writer needs, so that export then import
/// gives back the panel file the editor saves, byte for byte.
namespace CliDesignJson {

/// What the panel file says besides the objects.
struct Panel
{
    int nType = 0;           ///< image type 796..799 the design was opened for
    int nBackground = 0;     ///< the "BG:" number the editor saves
    QString strBackground;   ///< the background row's file name ("" when none)
    QString strPlacedFolder; ///< the placed-bitmap folder written before each bitmap's name
    QList<int> bitmapRows;   ///< per placed bitmap: its row in the placed-bitmap list
    QStringList messages;    ///< what opening the design said and asked
};

/// The design and its panel facts as the JSON document "qxpan-cli export" prints.
QJsonObject ToJson(const CQXPanDocument& design, const Panel& panel);

/// A design read back from such a document; the placed bitmaps point at stand-in images that
/// the writer only tells apart. Fails with one line naming the field that is wrong.
struct Parsed
{
    Panel panel;
    std::unique_ptr<CQXPanDocument> design;
    std::vector<std::unique_ptr<CDibImage>> images; ///< one per placed-bitmap row used
    QList<PanelFile::BitmapRow> rows; ///< the placed-bitmap list as the writer wants it
    QString error;
};
Parsed FromJson(const QJsonObject& json);

} // namespace CliDesignJson
