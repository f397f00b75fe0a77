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
#include "library/CQXPanBitmapLibrary.h"
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

    if (!CQXPanBitmapLibrary::CopyIntoFolder(*ui, folder))
        return;

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

    if (!CQXPanBitmapLibrary::EditAndWait(*m_pApp->Ui(), m_pApp->Store(), path))
        return;
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
        m_DesignDlg.m_SelRect.m_nObjIndex = -1;
        m_DesignDlg.m_SelRect.ForgetTrack();
        dropped = CQXPanBitmapLibrary::RebindPlacedBitmaps(m_ObjDlg, m_DesignDlg);
    } else {
        QString name;
        if (m_nListSel > 0) {
            const QTreeWidgetItem* item = ItemAt(m_nListSel);
            const int row = item ? item->data(0, Qt::UserRole).toInt() : 0;
            if (row > 1 && size_t(row) < m_ObjDlg.m_BgList.size())
                name = m_ObjDlg.m_BgList[size_t(row)].m_strCol1;
        }
        CQXPanBitmapLibrary::ReloadBackground(m_ObjDlg, m_DesignDlg, name,
                                              m_pApp->m_strBackgroundFolder);
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
