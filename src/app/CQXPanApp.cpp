#include "app/CQXPanApp.h"

#include "app/CQXPanMainDlg.h"
#include "branch/BranchEnvironment.h"
#include "branch/StoreConfigLibrary.h"
#include "uikit/UserInteraction.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// Mode words of the screen definition table; the older editor reads them: do not change.
constexpr quint32 kModeNormal = 2;
constexpr quint32 kModeChangeToOld = 0x102;
const QString kOldEditorMarker = QStringLiteral("V0101");

constexpr quint16 kFirstScreenFile = 796;
constexpr int kScreenFileCount = 4;

} // namespace

CQXPanApp::CQXPanApp(const QxCtrlStore& store, UserInteraction* ui,
                     std::unique_ptr<ConfigLibrary> library)
    : m_store(store), m_ui(ui), m_library(std::move(library))
{
    if (!m_library)
        m_library = std::make_unique<StoreConfigLibrary>(m_store);
}

CQXPanApp::~CQXPanApp() = default;

bool CQXPanApp::InitInstance()
{
    m_rcScreen = QxRect{0, 0, 1024, 768};
    m_rcDesign = QxRect{0, 0, 800, 600};
    m_nRecordSize = 62;
    m_strBranch.clear();
    m_strECR.clear();
    m_dwChangeToOld = 0;

    for (;;) {
        int result = 0;
        {
            CQXPanMainDlg dlg(this);
            result = dlg.DoModal();
        }
        if (result == 1 || result == 2 || static_cast<quint32>(result) != kChangeToOld || !m_ui)
            break;
        if (m_ui->StartDetached(QString::fromLatin1(kOldEditorProgram), {}))
            break;
        // Without the older editor every start would end here without a word: say so, forget
        // the request and open this editor instead.
        const QString text =
            QStringLiteral("The older editor %1 could not be started. The request to use it has "
                           "been cleared, and this editor opens instead.")
                .arg(QString::fromLatin1(kOldEditorProgram));
        std::fprintf(stderr, "qxpan: %s\n", qUtf8Printable(text));
        m_ui->MessageBox(text, QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                         UserInteraction::MB_ICONEXCLAMATION);
        ClearChangeToOld();
    }
    return false;
}

void CQXPanApp::ClearChangeToOld()
{
    m_dwChangeToOld = 0;
    // Also when the store cannot be written: this run must not hand over again.
    m_bOldEditorUnavailable = true;
    if (m_ScrIFTab.strMarker.right(kOldEditorMarker.size())
            .compare(kOldEditorMarker, Qt::CaseInsensitive) == 0)
        m_ScrIFTab.strMarker.chop(kOldEditorMarker.size());
    m_ScrIFTab.dwMode = kModeNormal;
    if (m_environmentLoaded)
        m_library->SetScrIFTab(DEFSCR_SCRNO_PANELEDITOR, m_ScrIFTab);
}

bool CQXPanApp::FailLoad(const FileResult& failed)
{
    m_environmentLoaded = false;
    // The line below names the store already.
    const QString step = failed.path == m_library->Location() ? failed.reason : failed.Text();
    m_loadFailure = step;
    // The window stays silent about this, so say on standard error where and why.
    std::fprintf(stderr, "qxpan: cannot load the branch environment from %s: %s\n",
                 qUtf8Printable(QDir::toNativeSeparators(m_library->Location())),
                 qUtf8Printable(step));
    return false;
}

bool CQXPanApp::LoadBranchEnvironment()
{
    m_environmentLoaded = false;
    m_loadFailure.clear();

    if (const FileResult branch = ReadCurrentBranch(*m_library, m_strBranch, m_strECR); !branch)
        return FailLoad(branch);

    m_arrECRFiles.resize(kScreenFileCount);
    for (int i = 0; i < kScreenFileCount; ++i)
        m_arrECRFiles[i].wFileNo = static_cast<quint16>(kFirstScreenFile + i);

    // Walking both lists from their ends lets the library's first entry of a number win.
    QList<_ECRFile_Information> listed;
    m_library->GetECRFileList(1, m_strBranch, listed);
    for (qsizetype i = listed.size() - 1; i >= 0; --i) {
        for (qsizetype j = m_arrECRFiles.size() - 1; j >= 0; --j) {
            if (listed[i].wFileNo == m_arrECRFiles[j].wFileNo)
                m_arrECRFiles[j] = listed[i];
        }
    }

    if (m_library->GetScrIFTab(DEFSCR_SCRNO_PANELEDITOR, m_ScrIFTab) == 0)
        return FailLoad(FileResult::Failed(
            m_library->Location(), QStringLiteral("screen definition table 12 cannot be read")));

    if (!m_bOldEditorUnavailable && m_ScrIFTab.strMarker.right(kOldEditorMarker.size())
                                            .compare(kOldEditorMarker, Qt::CaseInsensitive) == 0)
        m_dwChangeToOld = kChangeToOld;

    BranchFolders folders = Folders();
    const FileResult found = ReadBranchFolders(*m_library, folders);
    m_strDataFolder = folders.data;
    m_strWorkFolder = folders.work;
    m_strProgramFolder = folders.program;
    m_strPlacedBitmapFolder = folders.placed;
    m_strBackgroundFolder = folders.background;
    if (!found)
        return FailLoad(found);

    m_environmentLoaded = true;
    return true;
}

bool CQXPanApp::StoreScreenDefinition()
{
    m_ScrIFTab.dwMode = kModeNormal;
    if (m_dwChangeToOld != 0) {
        m_ScrIFTab.dwMode = kModeChangeToOld;
        m_ScrIFTab.strMarker = kOldEditorMarker;
    }
    return m_library->SetScrIFTab(DEFSCR_SCRNO_PANELEDITOR, m_ScrIFTab) != 0;
}

QString CQXPanApp::StoreProblem() const
{
    return m_library->LastProblem().Text();
}

BranchFolders CQXPanApp::Folders() const
{
    return {m_strDataFolder, m_strWorkFolder, m_strProgramFolder, m_strPlacedBitmapFolder,
            m_strBackgroundFolder};
}

CQXPanRefFolders CQXPanApp::RefFolders() const
{
    return Folders().RefFolders();
}
