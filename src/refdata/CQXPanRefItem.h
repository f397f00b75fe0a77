#pragma once

#include <QString>

#include <memory>
#include <vector>

class CDibImage;
struct CQXPanRefRow;

/// One row of a reference list: three column texts and, for a bitmap row, its image, loaded on
/// first use and owned by the row. Placed bitmaps and clipboard slots only point at that image.
class CQXPanRefItem
{
public:
    CQXPanRefItem();
    /// A row with the texts, numbers and file path of a row read from the branch.
    explicit CQXPanRefItem(const CQXPanRefRow& row);
    ~CQXPanRefItem();
    CQXPanRefItem(CQXPanRefItem&&) noexcept;
    CQXPanRefItem& operator=(CQXPanRefItem&&) noexcept;
    // The image has one owner: rows move, they are never copied.
    CQXPanRefItem(const CQXPanRefItem&) = delete;
    CQXPanRefItem& operator=(const CQXPanRefItem&) = delete;

    /// The row's image, loaded from m_strFilePath when the row has none yet; null when the file
    /// cannot be loaded (the row then stays without an image and a later call tries again).
    CDibImage* LoadImage();
    /// The image loaded so far, or null.
    CDibImage* Image() const { return m_pImage.get(); }

    QString m_strCol1; ///< first column: file name or record number
    QString m_strCol2; ///< second column: key legend or record description
    QString m_strCol3; ///< third column: function code, three digits
    std::unique_ptr<CDibImage> m_pImage;
    QString m_strFilePath; ///< full path of a file row, else empty
};

/// A reference list; row 0 is its header row, whose texts are the item list's column captions.
using CQXPanRefList = std::vector<CQXPanRefItem>;
