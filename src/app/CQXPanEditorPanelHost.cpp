#include "app/CQXPanEditorPanelHost.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlg.h"
#include "app/CQXPanMainDlgParts.h"
#include "uikit/UserInteraction.h"

#include <QComboBox>
#include <QDir>
#include <QTreeWidget>

using namespace MainDlgParts;

void CQXPanEditorPanelHost::BeginRead()
{
    m_savedType = m_dlg.m_ObjDlg.m_nObjType;
    m_dlg.m_cbObjectType->setCurrentIndex(QXPanObj::TypeBackground);
    m_dlg.FillItemList(true);
}

void CQXPanEditorPanelHost::EndRead()
{
    m_dlg.m_cbObjectType->setCurrentIndex(m_savedType);
    // The list shows the background rows; show the restored type's rows again.
    m_dlg.m_ObjDlg.m_nObjType = QXPanObj::TypeBackground;
    m_dlg.FillItemList(true);
}

QStringList CQXPanEditorPanelHost::BackgroundNames() const
{
    return NamesOf(m_dlg.m_ObjDlg.m_BgList);
}

QStringList CQXPanEditorPanelHost::PlacedBitmapNames() const
{
    return NamesOf(m_dlg.m_ObjDlg.m_BmpList);
}

// The remembered background row is always the row shown, so that Save writes the background
// that is seen and a change of image type reloads what it must.
void CQXPanEditorPanelHost::SelectBackgroundItem(int nListSel, int nItem)
{
    // Selected afresh, so that the list shows the background even when the row was current.
    m_dlg.m_lcItems->clearSelection();
    m_dlg.SelectListPosition(nItem);
    m_dlg.m_nListSel = m_dlg.ItemAt(nItem) ? nItem : nListSel;
}

void CQXPanEditorPanelHost::LoadEmptyBackground(int nListSel)
{
    if (!m_dlg.m_pApp)
        return;
    const QString name = QStringLiteral("Aempty.bmp");
    m_dlg.LoadBackgroundBitmap(QDir(m_dlg.m_pApp->m_strBackgroundFolder).filePath(name));
    const QStringList names = BackgroundNames();
    qsizetype row = 1;
    while (row < names.size() && names[row].compare(name, Qt::CaseInsensitive) != 0)
        ++row;
    m_dlg.m_nListSel = row < names.size() ? int(row) - 1 : nListSel;
    m_dlg.ShowListPositionQuietly(m_dlg.m_nListSel);
}

void CQXPanEditorPanelHost::ImportScreenBackground(int nListSel, int fileNumber)
{
    m_dlg.ImportScreenFile(fileNumber);
    // A screen file that is not listed shows as no row; Save then names the screen file.
    m_dlg.m_nListSel = m_dlg.ItemAt(nListSel) ? nListSel : -1;
    m_dlg.ShowListPositionQuietly(m_dlg.m_nListSel);
}

bool CQXPanEditorPanelHost::TakePlacedBitmap(int j, CQXPanBmpObj& obj)
{
    m_dlg.m_ObjDlg.m_nObjType = QXPanObj::TypePlaceBitmap;
    m_dlg.m_ObjDlg.SelectRow(j);
    return m_dlg.m_ObjDlg.ApplyItemToBitmap(obj) != 0;
}

bool CQXPanEditorPanelHost::AskContinue(const QString&, const QString& question)
{
    UserInteraction* ui = Ui();
    return ui && ui->MessageBox(question, QString::fromLatin1(kAppName),
                                UserInteraction::MB_YESNO) == UserInteraction::IDYES;
}

UserInteraction* CQXPanEditorPanelHost::Ui() const
{
    return m_dlg.m_pApp ? m_dlg.m_pApp->Ui() : nullptr;
}
