// The bitmap library commands (Browse, Edit, the refresh after them) and Receive/Send.
#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlgParts.h"
#include "document/CQXPanUndoCommands.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"
#include "document/RegisterFiles.h"
#include "fileio/FileCopy.h"
#include "formats/RegisterPreview.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "library/CQXPgco.h"
#include "refdata/BackgroundRow.h"
#include "refdata/CQXPanRefLists.h"
#include "reglib/CDefBaseInfo.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/QxCtrlTypes.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace MainDlgParts;

namespace {

bool SameFilePath(const QString& a, const QString& b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
               .compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), Qt::CaseInsensitive) == 0;
}

bool IsBmpName(const QString& name)
{
    return name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive);
}

// The row of a list whose file is name: the same spelling first, else the first that differs
// only in case; -1 when none. One row, so that two files "a.bmp" and "A.bmp" give one object.
int RowOfFile(const CQXPanRefList& list, const QString& name)
{
    int caseless = -1;
    for (size_t row = 1; row < list.size(); ++row) {
        const QString& file = list[row].m_strCol1;
        if (file == name)
            return int(row);
        if (caseless < 0 && file.compare(name, Qt::CaseInsensitive) == 0)
            caseless = int(row);
    }
    return caseless;
}

} // namespace

void CQXPanMainDlg::ConnectBitmapLibrary()
{
    auto clicked = [this](int id, void (CQXPanMainDlg::*handler)()) {
        if (auto* button = qobject_cast<QPushButton*>(GetDlgItem(id)))
            connect(button, &QPushButton::clicked, this, handler);
    };
    clicked(IDC_BROWSE, &CQXPanMainDlg::OnBrowse);
    clicked(IDC_EDIT, &CQXPanMainDlg::OnEdit);
    clicked(IDC_RECEIVESEND, &CQXPanMainDlg::OnReceiveSend);
}

void CQXPanMainDlg::OnBrowse()
{
    const int type = m_ObjDlg.m_nObjType;
    if ((type != QXPanObj::TypeBackground && type != QXPanObj::TypePlaceBitmap) || !m_pApp ||
        !m_pApp->Ui())
        return;
    UserInteraction* ui = m_pApp->Ui();
    const QString folder = type == QXPanObj::TypePlaceBitmap ? m_pApp->m_strPlacedBitmapFolder
                                                             : m_pApp->m_strBackgroundFolder;

    UserInteraction::FileDialogRequest request;
    request.title = QStringLiteral("Copy into branch");
    request.initialName = folder + QLatin1Char('/');
    request.filter = QStringLiteral("bitmap file(*.bmp)");
    request.options = UserInteraction::FileMustExist;
    const QStringList files = ui->GetOpenFileNames(request);
    if (files.isEmpty())
        return;

    enum class Existing
    {
        NotAsked,
        Replace,
        Keep
    };
    Existing existing = Existing::NotAsked;
    bool first = true;
    for (const QString& path : files) {
        // The placeholder background is never overwritten.
        if (path.endsWith(QStringLiteral("Aempty.bmp"), Qt::CaseInsensitive))
            continue;
        // Only the file's own name is used, so nothing is written outside the folder.
        const QString title = QFileInfo(path).fileName();
        if (title.isEmpty() || title.size() > 256)
            continue;
        const QString destination =
            QDir(folder).filePath(IsBmpName(title) ? title : title + QStringLiteral(".bmp"));
        if (first) {
            first = false;
            // A file of the target folder itself: the user is browsing the wrong way round.
            if (SameFilePath(path, destination))
                return;
        }
        if (QFileInfo::exists(destination)) {
            if (existing == Existing::NotAsked) {
                existing =
                    ui->MessageBox(QStringLiteral("Do you update existing BMP files in branch?"),
                                   QString::fromLatin1(kAppName),
                                   UserInteraction::MB_YESNO) == UserInteraction::IDYES
                        ? Existing::Replace
                        : Existing::Keep;
            }
            if (existing == Existing::Keep)
                continue;
        }
        CopyFileReplacing(path, destination);
    }

    RefreshAfterBitmapChange();
    // The object type box items keep pointing at the two bitmap lists by their type.
    FillItemList(false);
}

void CQXPanMainDlg::OnEdit()
{
    const int type = m_ObjDlg.m_nObjType;
    if ((type != QXPanObj::TypeBackground && type != QXPanObj::TypePlaceBitmap) || !m_pApp ||
        !m_pApp->Ui())
        return;

    QString path;
    if (type == QXPanObj::TypePlaceBitmap) {
        const int row = m_ObjDlg.m_nSel[0];
        if (row < 1 || size_t(row) >= m_ObjDlg.m_BmpList.size())
            return;
        path = QDir(m_pApp->m_strPlacedBitmapFolder)
                   .filePath(m_ObjDlg.m_BmpList[size_t(row)].m_strCol1);
    } else {
        const QTreeWidgetItem* item = ItemAt(m_nListSel);
        const int row = item ? item->data(0, Qt::UserRole).toInt() : 0;
        if (row < 1 || size_t(row) >= m_ObjDlg.m_BgList.size())
            return;
        path =
            QDir(m_pApp->m_strBackgroundFolder).filePath(m_ObjDlg.m_BgList[size_t(row)].m_strCol1);
    }

    // An absolute path, so that a file name beginning with "-" never reads as an option.
    path = QFileInfo(path).absoluteFilePath();

    // Screen table 4 names the branch's bitmap editor; flag bit value 2 says it is set.
    _ScreenDefinition_InterfaceTable table;
    const bool hasEditor =
        CDefScrInfo(m_pApp->Store()).GetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, table) != 0 &&
        (table.dwFlags & 2u) != 0;
    UserInteraction* ui = m_pApp->Ui();
    const UserInteraction::ProgramRun run =
        hasEditor ? ui->StartAndWait(table.strProgramPath, {path}) : ui->OpenDocumentAndWait(path);
    if (!run.started) {
        ui->MessageBox(QStringLiteral("shell exe err"));
        return;
    }
    RefreshAfterBitmapChange();
    if (isVisible())
        activateWindow();
}

void CQXPanMainDlg::RefreshAfterBitmapChange()
{
    if (!m_pApp)
        return;
    // The history's placed bitmaps point at images released here.
    m_DesignDlg.ClearHistory();
    QStringList dropped;
    if (m_cbObjectType->currentIndex() == QXPanObj::TypePlaceBitmap) {
        // The list's images are released below: keep only names and rectangles.
        const QList<CQXPanBmpObj> previous = m_DesignDlg.m_BmpObjs;
        m_DesignDlg.m_SelRect.m_nObjIndex = -1;
        m_DesignDlg.m_SelRect.ForgetTrack();
        m_DesignDlg.ClearObjects(true);
        m_ObjDlg.RefreshBitmapLists(1);

        CQXPanRefList& list = m_ObjDlg.m_BmpList;
        for (const CQXPanBmpObj& old : previous) {
            const int row = RowOfFile(list, old.m_strFileName);
            CQXPanBmpObj fresh;
            if (row > 0) {
                m_ObjDlg.SelectRow(row);
                // A listed file that no longer loads leaves its object out of the design.
                if (m_ObjDlg.ApplyItemToBitmap(fresh)) {
                    fresh.SetRegisterRect(old.m_rcRegister);
                    m_DesignDlg.AddBmpObj(fresh);
                    continue;
                }
            }
            if (!dropped.contains(old.m_strFileName))
                dropped.append(old.m_strFileName);
        }

        // The bitmap slot pointed into the old list as well.
        CQXPanBmpObj& clip = m_ObjDlg.m_BmpClip;
        if (clip.m_pImage) {
            const int row = RowOfFile(list, clip.m_strFileName);
            CDibImage* image = row > 0 ? list[size_t(row)].LoadImage() : nullptr;
            const QXPanRect rect = clip.DisplayRect();
            clip.m_pImage = nullptr;
            if (image) {
                const QString name = clip.m_strFileName;
                clip.SetImage(image, &name);
                clip.SetDisplayRect(rect);
            }
        }
    } else {
        QString name;
        if (m_nListSel > 0) {
            const QTreeWidgetItem* item = ItemAt(m_nListSel);
            const int row = item ? item->data(0, Qt::UserRole).toInt() : 0;
            if (row > 1 && size_t(row) < m_ObjDlg.m_BgList.size())
                name = m_ObjDlg.m_BgList[size_t(row)].m_strCol1;
        }
        m_ObjDlg.RefreshBitmapLists(0);
        if (IsBmpName(name)) {
            const CQXPanRefList& list = m_ObjDlg.m_BgList;
            for (size_t row = 1; row < list.size(); ++row) {
                if (list[row].m_strCol1.compare(name, Qt::CaseInsensitive) == 0) {
                    // Not reported: a file that fails to load keeps the shown background.
                    m_DesignDlg.m_Background.Load(
                        QDir(m_pApp->m_strBackgroundFolder).filePath(list[row].m_strCol1));
                    break;
                }
            }
        }
    }
    m_DesignDlg.Redraw();
    if (!dropped.isEmpty()) {
        m_DesignDlg.m_bModified = true;
        if (m_pApp->Ui())
            m_pApp->Ui()->MessageBox(
                QStringLiteral("These placed bitmaps were taken off the design because their "
                               "files are gone or cannot be read:\n\n%1")
                    .arg(dropped.join(QLatin1Char('\n'))),
                QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                UserInteraction::MB_ICONEXCLAMATION);
    }
}

void CQXPanMainDlg::OnReceiveSend()
{
    const int index = m_cbImageType->currentIndex();
    if (!m_pApp || index < 0)
        return;
    CQXPgco dlg(m_pApp->Store());
    const int fileNo = 796 + index;
    const QString path = QDir(m_pApp->m_strProgramFolder).filePath(RegisterFileName(fileNo));
    if (!QFileInfo::exists(path)) {
        dlg.m_dwMode = 2;
        dlg.m_strCommand = QStringLiteral("/RECEIVE");
    } else {
        dlg.m_dwMode = 1;
        dlg.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(path);
    }
    CDefBaseInfo(m_pApp->Store()).GetECRQX27Func(m_pApp->m_strECR, dlg.m_dwFunc);
    RunCommDialog(dlg);
    // Nothing is reloaded: a received file is listed when the lists are next rebuilt.
}

int CQXPanMainDlg::RunCommDialog(CQXPgco& dlg)
{
    return dlg.exec();
}
