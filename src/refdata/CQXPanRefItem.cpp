#include "refdata/CQXPanRefItem.h"

#include "image/CDibImage.h"
#include "refdata/CQXPanRefRow.h"

CQXPanRefItem::CQXPanRefItem() = default;

CQXPanRefItem::CQXPanRefItem(const CQXPanRefRow& row)
    : m_strCol1(row.m_strCol1), m_strCol2(row.m_strCol2), m_strCol3(row.m_strCol3),
      m_strFilePath(row.m_strFilePath)
{}

CQXPanRefItem::~CQXPanRefItem() = default;
CQXPanRefItem::CQXPanRefItem(CQXPanRefItem&&) noexcept = default;
CQXPanRefItem& CQXPanRefItem::operator=(CQXPanRefItem&&) noexcept = default;

CDibImage* CQXPanRefItem::LoadImage()
{
    if (m_pImage)
        return m_pImage.get();
    if (m_strFilePath.isEmpty())
        return nullptr;
    auto image = std::make_unique<CDibImage>();
    if (!image->Load(m_strFilePath))
        return nullptr;
    m_pImage = std::move(image);
    return m_pImage.get();
}
