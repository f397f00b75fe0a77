#include "refdata/CQXPanRefLists.h"

#include "document/RegisterFiles.h"
#include "fileio/CQXPanFileFinder.h"
#include "refdata/CQXPanBitmapLister.h"
#include "refdata/CQXPanFreeFuncReader.h"
#include "refdata/CQXPanFuncKeyReader.h"

namespace {

const QString kFileNameCaption = QStringLiteral("File Name         ");
const QString kCharacterCaption = QStringLiteral("Character");
const QString kCodeCaption = QStringLiteral("FC  ");
constexpr int kTableCode = 93;

} // namespace

CQXPanRefLists::CQXPanRefLists(const CQXPanRefFolders& folders) : m_folders(folders)
{
    ResetLists();
}

CQXPanRefRow CQXPanRefLists::HeaderRow(const QString& col1, const QString& col2,
                                       const QString& col3)
{
    CQXPanRefRow row;
    row.m_strCol1 = col1;
    row.m_strCol2 = col2;
    row.m_strCol3 = col3;
    return row;
}

void CQXPanRefLists::ResetLists()
{
    m_BgList = {HeaderRow(kFileNameCaption, {}, {})};
    m_BmpList = {HeaderRow(kFileNameCaption, {}, {})};
    m_FreeFuncList = {HeaderRow(QStringLiteral("Rec"), kCharacterCaption, kCodeCaption)};
    m_SysKeyList = {HeaderRow({}, kCharacterCaption, kCodeCaption)};
    CQXPanRefRow table = HeaderRow({}, {}, QString::asprintf("%03d", kTableCode));
    table.m_nFuncCode = kTableCode;
    m_TableList = {HeaderRow({}, {}, kCodeCaption), table};
}

void CQXPanRefLists::LoadReferenceData()
{
    ResetLists();

    const QString funcKeyPath =
        CQXPanFileFinder::FindPath(m_folders.m_strDataFolder, QStringLiteral("funckey.txt"));
    if (!funcKeyPath.isEmpty())
        m_SysKeyList += CQXPanFuncKeyReader::ReadFile(funcKeyPath).m_rows;

    const QString freeFuncPath =
        CQXPanFileFinder::FindPath(m_folders.m_strProgramFolder, RegisterFileName(2));
    if (!freeFuncPath.isEmpty())
        m_FreeFuncList += CQXPanFreeFuncReader::ReadFile(freeFuncPath).m_rows;

    ListBitmaps(-1);
}

void CQXPanRefLists::ListBitmaps(int which)
{
    if (which < 1) {
        m_BgList.resize(1);
        m_BgList += CQXPanBitmapLister::ListBackgrounds(m_folders.m_strProgramFolder,
                                                        m_folders.m_strBackgroundFolder);
    }
    if (which == -1 || which == 1) {
        m_BmpList.resize(1);
        m_BmpList += CQXPanBitmapLister::ListPlacedBitmaps(m_folders.m_strPlacedBitmapFolder);
    }
}

void CQXPanRefLists::RefreshBitmapLists(int which)
{
    if (which < 1)
        m_BgList.resize(1);
    if (which == -1 || which == 1)
        m_BmpList.resize(1);
    ListBitmaps(which);
}
