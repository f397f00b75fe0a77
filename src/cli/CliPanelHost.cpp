#include "cli/CliPanelHost.h"

#include "cli/CliIo.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "formats/FileMessage.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "refdata/CQXPanRefLists.h"

namespace {

QStringList namesOf(const QList<CQXPanRefRow>& rows)
{
    QStringList names;
    for (const CQXPanRefRow& row : rows)
        names.append(row.m_strCol1);
    return names;
}

} // namespace

CliPanelHost::CliPanelHost(const CQXPanRefLists& lists, CQXPanDocument& design,
                           const QString& panelPath, CliIo& io)
    : m_lists(lists), m_design(design), m_panelPath(panelPath), m_io(io)
{}

CliPanelHost::~CliPanelHost() = default;

void CliPanelHost::ShowMessage(const QString& text)
{
    m_messages.append(text);
}

QStringList CliPanelHost::BackgroundNames() const
{
    return namesOf(m_lists.m_BgList);
}

QStringList CliPanelHost::PlacedBitmapNames() const
{
    return namesOf(m_lists.m_BmpList);
}

void CliPanelHost::SelectBackgroundItem(int, int nItem)
{
    // As the item list does for the row it selects: a bitmap is loaded, a screen file imported.
    const int row = nItem + 1;
    if (row < 1 || row >= m_lists.m_BgList.size())
        return;
    const CQXPanRefRow& entry = m_lists.m_BgList[row];
    if (entry.m_strCol1.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        LoadBackground(m_lists.folders().m_strBackgroundFolder + QLatin1Char('/') +
                       entry.m_strCol1);
    else if (entry.m_strCol1.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        ImportScreenBackground(0, entry.m_strCol1.mid(4, 3).toInt());
}

void CliPanelHost::LoadEmptyBackground(int)
{
    LoadBackground(m_lists.folders().m_strBackgroundFolder + QStringLiteral("/Aempty.bmp"));
}

void CliPanelHost::ImportScreenBackground(int, int fileNumber)
{
    const CQXPanRefFolders& folders = m_lists.folders();
    ImportScreenFile(fileNumber, 0, m_design.m_Background, folders.m_strProgramFolder,
                     folders.m_strBackgroundFolder,
                     [this](const FileMessage& message) { m_io.Note(message.text); });
}

bool CliPanelHost::TakePlacedBitmap(int j, CQXPanBmpObj& obj)
{
    if (j < 1 || j >= m_lists.m_BmpList.size())
        return false;
    std::unique_ptr<CDibImage>& image = m_images[j];
    const CQXPanRefRow& row = m_lists.m_BmpList[j];
    if (!image) {
        auto loaded = std::make_unique<CDibImage>();
        if (loaded->Load(row.m_strFilePath) != CDibImage::LoadOk) {
            m_io.Note(row.m_strFilePath + QStringLiteral(": cannot load the placed bitmap"));
            m_images.erase(j);
            return false;
        }
        image = std::move(loaded);
    }
    obj.SetImage(image.get(), &row.m_strCol1);
    return true;
}

bool CliPanelHost::AskContinue(const QString& fileName, const QString&)
{
    m_io.Note(m_panelPath + QStringLiteral(": placed bitmap \"") + fileName +
              QStringLiteral("\" is not in this branch; skipped"));
    return true;
}

void CliPanelHost::LoadBackground(const QString& path)
{
    m_design.m_Background.Destroy();
    if (m_design.m_Background.Load(path) != CDibImage::LoadOk)
        m_io.Note(path + QStringLiteral(": open err"));
}
