#include "cli/CliPanelHost.h"

#include "cli/CliIo.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "refdata/BackgroundRow.h"
#include "refdata/CQXPanRefLists.h"

#include <QDir>

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

QStringList CliPanelHost::BackgroundNames() const
{
    return namesOf(m_lists.m_BgList);
}

QStringList CliPanelHost::PlacedBitmapNames() const
{
    return namesOf(m_lists.m_BmpList);
}

void CliPanelHost::SelectBackgroundItem(int nListSel, int nItem)
{
    m_nListSel = nListSel;
    // As the item list does for the row it selects.
    const int row = nItem + 1;
    if (row < 1 || row >= m_lists.m_BgList.size())
        return;
    Report(LoadBackgroundRow(m_lists.m_BgList[row].m_strCol1, m_lists.folders(),
                             m_design.m_Background));
}

void CliPanelHost::LoadEmptyBackground(int nListSel)
{
    m_nListSel = nListSel;
    Report(LoadBackgroundBitmap(
        QDir(m_lists.folders().m_strBackgroundFolder).filePath(QStringLiteral("Aempty.bmp")),
        m_design.m_Background));
}

void CliPanelHost::ImportScreenBackground(int nListSel, int fileNumber)
{
    m_nListSel = nListSel;
    const CQXPanRefFolders& folders = m_lists.folders();
    Report(ImportScreenFile(fileNumber, 0, m_design.m_Background, folders.m_strProgramFolder,
                            folders.m_strBackgroundFolder));
}

void CliPanelHost::Report(const FileResult& result)
{
    // A failure that only has a code (no screen file to import, say) prints nothing.
    if (const QString line = result.Text(); !line.isEmpty()) {
        m_messages.append(line);
        m_io.Note(line);
    }
}

int CliPanelHost::RowOfImage(const CDibImage* image) const
{
    for (const auto& [row, loaded] : m_images) {
        if (image && loaded.get() == image)
            return row;
    }
    return -1;
}

bool CliPanelHost::TakePlacedBitmap(int j, CQXPanBmpObj& obj)
{
    if (j < 1 || j >= m_lists.m_BmpList.size())
        return false;
    std::unique_ptr<CDibImage>& image = m_images[j];
    const CQXPanRefRow& row = m_lists.m_BmpList[j];
    if (!image) {
        auto loaded = std::make_unique<CDibImage>();
        if (!loaded->Load(row.m_strFilePath)) {
            Report(FileResult::Failed(row.m_strFilePath,
                                      QStringLiteral("cannot load the placed bitmap")));
            m_images.erase(j);
            return false;
        }
        image = std::move(loaded);
    }
    obj.SetImage(image.get(), &row.m_strCol1);
    return true;
}

bool CliPanelHost::AskContinue(const QString& fileName, const QString& question)
{
    m_messages.append(question + (m_bContinue ? QStringLiteral(" Yes") : QStringLiteral(" No")));
    m_io.Note(m_panelPath + QStringLiteral(": placed bitmap \"") + fileName +
              (m_bContinue ? QStringLiteral("\" is not in this branch; skipped")
                           : QStringLiteral("\" is not in this branch; the rest of the design "
                                            "is not read (--answer no)")));
    return m_bContinue;
}
