#pragma once

#include "branch/BranchEnvironment.h"
#include "branch/ConfigLibrary.h"
#include "refdata/CQXPanRefFolders.h"
#include "reglib/QxCtrlStore.h"
#include "reglib/QxCtrlTypes.h"

#include <QList>
#include <QString>

#include <memory>

class UserInteraction;

/// The application object: the register screen and design rectangles, the branch environment and
/// the screen definition table; runs the main dialog and hands over to the older editor.
class CQXPanApp
{
public:
    /// Result of the main dialog that asks for the older editor; also the value of
    /// m_dwChangeToOld while it is requested.
    static constexpr quint32 kChangeToOld = 0x0FFF0101;
    /// The older panel editor, started on the next run after "Change to old".
    static constexpr char kOldEditorProgram[] = "QX_Layedit.exe";

    /// Works on the configuration store through the configuration library; a test may pass its
    /// own library in place of the store's.
    CQXPanApp(const QxCtrlStore& store, UserInteraction* ui,
              std::unique_ptr<ConfigLibrary> library = nullptr);
    ~CQXPanApp();
    CQXPanApp(const CQXPanApp&) = delete;
    CQXPanApp& operator=(const CQXPanApp&) = delete;

    /// Start-up: runs the main dialog modally, then starts the older editor when the dialog asks
    /// for it; when that cannot start, says so and runs the main dialog again. Always false: the
    /// application ends with its dialog.
    bool InitInstance();

    /// Reads branch, register, screen files, this editor's screen definition table and the
    /// branch folders, creating missing folders; false at the first step that fails.
    bool LoadBranchEnvironment();
    /// Writes this editor's screen definition table back with its mode word and marker; false
    /// when the store refused it (StoreProblem says why).
    bool StoreScreenDefinition();
    /// Why the configuration store refused the last call, empty when it did not.
    QString StoreProblem() const;

    /// The branch folders as loaded.
    BranchFolders Folders() const;
    /// The branch folders the reference lists are read from.
    CQXPanRefFolders RefFolders() const;

    /// The configuration store the environment comes from.
    const QxCtrlStore& Store() const { return m_store; }
    /// The editor's message boxes, file dialogs and program starts.
    UserInteraction* Ui() const { return m_ui; }
    /// True while the environment read by the last LoadBranchEnvironment is complete; only then
    /// may the screen definition table be written back.
    bool EnvironmentLoaded() const { return m_environmentLoaded; }
    /// The step at which the last LoadBranchEnvironment failed; empty after success.
    const QString& LoadFailure() const { return m_loadFailure; }

    QxRect m_rcScreen;
    QxRect m_rcDesign;
    QString m_strDataFolder;
    QString m_strWorkFolder;
    QString m_strProgramFolder;
    QString m_strPlacedBitmapFolder;
    QString m_strBackgroundFolder;
    int m_nRecordSize = 0;
    QString m_strBranch;
    QString m_strECR;
    QList<_ECRFile_Information> m_arrECRFiles;
    quint32 m_dwChangeToOld = 0;
    _ScreenDefinition_InterfaceTable m_ScrIFTab;

private:
    bool FailLoad(const FileResult& failed);
    /// The older editor could not be started: forgets the request, in this run and in the
    /// stored table.
    void ClearChangeToOld();

    QxCtrlStore m_store;
    UserInteraction* m_ui = nullptr;
    std::unique_ptr<ConfigLibrary> m_library;
    bool m_environmentLoaded = false;
    bool m_bOldEditorUnavailable = false;
    QString m_loadFailure;
};
