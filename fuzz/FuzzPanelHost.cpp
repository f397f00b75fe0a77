#include "FuzzPanelHost.h"

#include "FuzzOutcome.h"
#include "document/CQXPanBmpObj.h"
#include "document/PanelFile.h"
#include "image/CDibImage.h"

namespace {

const QString kHeader = QStringLiteral("File Name         ");

QStringList backgroundList(int variant)
{
    switch (variant) {
    case 1:
        return {kHeader,
                QStringLiteral("FILE796P.TXT"),
                QStringLiteral("FILE797P.TXT"),
                QStringLiteral("file798p.txt"),
                QStringLiteral("FILE799P.TXT"),
                QStringLiteral("Aempty.bmp"),
                QStringLiteral("sky.bmp"),
                QStringLiteral("ocean.BMP")};
    case 2:
        return {kHeader, QStringLiteral("FILE797P.TXT")};
    case 3:
        return {kHeader, QStringLiteral("Aempty.bmp"), QStringLiteral("x.bmp")};
    default:
        return {kHeader};
    }
}

} // namespace

FuzzPanelHost::FuzzPanelHost(unsigned char settings, int imageType, FuzzOutcome& outcome)
    : m_settings(settings), m_imageType(imageType), m_outcome(outcome),
      m_background(backgroundList((settings >> 4) & 3))
{
    m_placed.append(kHeader);
    if (!(settings & 0x40)) {
        // Names the seed panel files use, in several letter cases.
        m_placed << QStringLiteral("icon.bmp") << QStringLiteral("Logo.BMP")
                 << QStringLiteral("sky.bmp") << QStringLiteral("burger.bmp")
                 << QStringLiteral("ok.bmp") << QStringLiteral("a.bmp");
    }
    for (qsizetype j = 0; j < m_placed.size(); ++j) {
        m_images.push_back(std::make_unique<CDibImage>());
        if (j > 0)
            m_images.back()->Create(4, 4, 24);
    }
}

FuzzPanelHost::~FuzzPanelHost() = default;

QStringList FuzzPanelHost::BackgroundNames() const
{
    return m_background;
}

QStringList FuzzPanelHost::PlacedBitmapNames() const
{
    return m_placed;
}

void FuzzPanelHost::SelectBackgroundItem(int nListSel, int nItem)
{
    // Item k shows entry k + 1; one past the last item stands for "no bitmap in the list".
    m_outcome.Expect(nItem >= 0 && nItem <= m_background.size() - 1,
                     QStringLiteral("background item %1 outside the list").arg(nItem));
    m_outcome.Expect(nListSel >= 0, QStringLiteral("negative list selection for a bitmap"));
}

void FuzzPanelHost::LoadEmptyBackground(int nListSel)
{
    m_outcome.Expect(nListSel == 0, QStringLiteral("empty background with list selection"));
}

void FuzzPanelHost::ImportScreenBackground(int nListSel, int fileNumber)
{
    m_outcome.Expect(fileNumber == m_imageType, QStringLiteral("imported another screen file"));
    m_outcome.Expect(
        nListSel >= 0 && nListSel < m_background.size(),
        QStringLiteral("screen file list selection %1 outside the list").arg(nListSel));
}

bool FuzzPanelHost::TakePlacedBitmap(int j, CQXPanBmpObj& obj)
{
    if (j < 1 || j >= m_placed.size()) {
        m_outcome.problems.append(QStringLiteral("placed-bitmap row %1 outside the list").arg(j));
        return false;
    }
    if ((m_settings & 0x08) && j % 2 == 0)
        return false;
    obj.SetImage(m_images[size_t(j)].get(), &m_placed[j]);
    return true;
}

bool FuzzPanelHost::AskContinue(const QString& fileName, const QString& question)
{
    m_outcome.Expect(question == PanelFile::MissingBitmapText(fileName),
                     QStringLiteral("wrong question for a missing bitmap"));
    m_outcome.messages.append(question);
    return !(m_settings & 0x04);
}
