// Panel files: New, Open and Save.
#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanEditorPanelHost.h"
#include "app/CQXPanMainDlgParts.h"
#include "document/CQXPanUndoCommands.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"
#include "formats/BitmapTableFile.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "refdata/BackgroundRow.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace MainDlgParts;

namespace {

const QString kPanelDialogTitle = QStringLiteral("Full Check Window");
const QString kPanelFilter = QStringLiteral("Data files (*.pan)");

} // namespace

bool CQXPanMainDlg::OnSave()
{
    if (!HasScreen() || !m_pApp->Ui())
        return false;
    UserInteraction::FileDialogRequest request;
    request.title = kPanelDialogTitle;
    request.initialName = QStringLiteral("untitled.pan");
    request.filter = kPanelFilter;
    request.options = UserInteraction::OverwritePrompt;
    // The name is used as typed: no extension is added.
    const QString path = m_pApp->Ui()->GetSaveFileName(request);
    if (path.isEmpty())
        return false;

    QList<PanelFile::BitmapRow> rows;
    rows.reserve(qsizetype(m_ObjDlg.m_BmpList.size()));
    for (const CQXPanRefItem& item : m_ObjDlg.m_BmpList)
        rows.append(PanelFile::BitmapRow{item.m_strCol1, item.Image()});
    const int background =
        PanelFile::BackgroundNumberForSave(NamesOf(m_ObjDlg.m_BgList), m_nListSel);
    if (!PanelFile::Write(path, m_DesignDlg, background, m_pApp->m_strPlacedBitmapFolder, rows)) {
        m_pApp->Ui()->MessageBox(PanelFile::CantOpenText(path));
        return false;
    }
    m_DesignDlg.MarkSaved();
    return true;
}

void CQXPanMainDlg::OnOpen()
{
    if (!HasScreen() || !m_pApp->Ui())
        return;
    UserInteraction::FileDialogRequest request;
    request.title = kPanelDialogTitle;
    request.initialName = QStringLiteral("*.pan");
    request.filter = kPanelFilter;
    const QString path = m_pApp->Ui()->GetOpenFileName(request);
    if (path.isEmpty())
        return;
    m_DesignDlg.Deselect();
    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    ReadPanelFile(path);
    m_DesignDlg.EndDesignChange<CQXPanOpenCommand>(std::move(before), m_nListSel);
    m_DesignDlg.MarkSaved();
    m_DesignDlg.Redraw();
}

int CQXPanMainDlg::ReadPanelFile(const QString& path)
{
    CQXPanEditorPanelHost host(*this);
    const int T = kFirstScreenFile + m_cbImageType->currentIndex();
    const PanelFile::ReadResult read = PanelFile::Read(path, T, m_DesignDlg, host);
    ShowFileResult(read.result);
    return read.result.code;
}

void CQXPanMainDlg::OnNew()
{
    if (!HasScreen() || !m_pApp->Ui())
        return;
    const int answer = m_pApp->Ui()->MessageBox(
        QStringLiteral("Would you like to save the data and creat a new image?"),
        QString::fromLatin1(kAppName), UserInteraction::MB_YESNO,
        UserInteraction::MB_ICONEXCLAMATION);
    if (answer != UserInteraction::IDYES)
        return;
    // A cancelled or failed save does not stop the command: New can be taken back.
    OnSave();
    m_DesignDlg.Deselect();
    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    m_DesignDlg.ClearObjects(false);

    const CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    int first = -1;
    for (size_t e = 1; e < backgrounds.size(); ++e) {
        if (backgrounds[e].m_strCol1.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
            first = int(e);
            break;
        }
    }
    if (first > 0) {
        if (m_ObjDlg.m_nObjType == QXPanObj::TypeBackground) {
            // Selected afresh, so that the list loads it even when the row was current.
            m_lcItems->clearSelection();
            SelectListPosition(first - 1);
        } else {
            if (m_lcItems->topLevelItemCount() > 0)
                SelectListPosition(0);
            // An empty design should look empty whatever object type is shown.
            const FileResult loaded = ::LoadBackgroundBitmap(
                QDir(m_pApp->m_strBackgroundFolder).filePath(backgrounds[size_t(first)].m_strCol1),
                m_DesignDlg.m_Background);
            ShowFileResult(loaded);
            if (loaded)
                m_nListSel = first - 1;
        }
    }
    m_DesignDlg.EndDesignChange<CQXPanNewCommand>(std::move(before), m_nListSel);
    m_DesignDlg.MarkSaved();
    m_DesignDlg.Redraw();
}
