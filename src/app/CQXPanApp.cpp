#include "app/CQXPanApp.h"

#include "app/CQXPanMainDlg.h"
#include "app/StoreConfigLibrary.h"
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

bool CQXPanApp::FailLoad(const QString& step)
{
    m_environmentLoaded = false;
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

    m_library->GetCurrBrnAndECR(m_strBranch, m_strECR);
    if (m_strBranch.isEmpty()) {
        // A store that cannot be read says why (which line, what size, ...).
        const QString problem = m_library->LastProblem();
        return FailLoad(problem.isEmpty() ? QStringLiteral("no current branch") : problem);
    }

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
        return FailLoad(QStringLiteral("screen definition table 12 cannot be read"));

    if (!m_bOldEditorUnavailable && m_ScrIFTab.strMarker.right(kOldEditorMarker.size())
                                            .compare(kOldEditorMarker, Qt::CaseInsensitive) == 0)
        m_dwChangeToOld = kChangeToOld;

    struct Folder
    {
        DEFBS_TYPE_ENVSTR kind;
        QString* field;
        bool create;
    };
    const Folder folders[] = {
        {DEFBS_ENV_DATA, &m_strDataFolder, false},
        {DEFBS_ENV_WORK, &m_strWorkFolder, true},
        {DEFBS_ENV_PROGRAM, &m_strProgramFolder, true},
        {DEFBS_ENV_PLACEDBMP, &m_strPlacedBitmapFolder, true},
        {DEFBS_ENV_BACKGROUND, &m_strBackgroundFolder, true},
    };
    for (const Folder& folder : folders) {
        if (m_library->GetActFolPath(folder.kind, *folder.field) == 0)
            return FailLoad(QStringLiteral("folder of kind %1 is not set").arg(int(folder.kind)));
        if (!folder.create || QFileInfo(*folder.field).isDir())
            continue;
        // Only the last level: the parents belong to the configuration software.
        if (folder.field->isEmpty() || !QDir().mkdir(*folder.field))
            return FailLoad(QStringLiteral("folder of kind %1 (%2) cannot be created")
                                .arg(int(folder.kind))
                                .arg(QDir::toNativeSeparators(*folder.field)));
    }

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
    return m_library->LastProblem();
}

CQXPanRefFolders CQXPanApp::RefFolders() const
{
    CQXPanRefFolders folders;
    folders.m_strDataFolder = m_strDataFolder;
    folders.m_strProgramFolder = m_strProgramFolder;
    folders.m_strPlacedBitmapFolder = m_strPlacedBitmapFolder;
    folders.m_strBackgroundFolder = m_strBackgroundFolder;
    return folders;
}
