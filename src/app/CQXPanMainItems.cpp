// The image type and object type boxes and the item list: filling, choosing, dragging rows.
#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlgParts.h"
#include "branch/BranchEnvironment.h"
#include "document/CQXPanUndoCommands.h"
#include "document/PanelFile.h"
#include "document/RegisterFiles.h"
#include "formats/BitmapTableFile.h"
#include "formats/RegisterPreview.h"
#include "formats/ScreenFileImport.h"
#include "refdata/BackgroundRow.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

using namespace MainDlgParts;

bool CQXPanMainDlg::LoadObjectTypeImages()
{
    m_ilObjectTypes.clear();
    const QImage strip(kObjectTypeStrip);
    if (strip.isNull() || strip.width() < kObjectTypePictures * kObjectTypeIconSize ||
        strip.height() < kObjectTypeIconSize)
        return false;
    for (int i = 0; i < kObjectTypePictures; ++i) {
        const QImage picture =
            strip.copy(i * kObjectTypeIconSize, 0, kObjectTypeIconSize, kObjectTypeIconSize);
        m_ilObjectTypes.append(QIcon(QPixmap::fromImage(picture)));
    }
    return true;
}

void CQXPanMainDlg::FillObjectTypeCombo(int T)
{
    m_cbObjectType->clear();
    const int count = T < kFirstCheckWindow ? QXPanObj::TypeTableRect : QXPanObj::kTypeCount;
    for (int k = 0; k < count; ++k) {
        const QIcon icon = k < m_ilObjectTypes.size() ? m_ilObjectTypes[k] : QIcon();
        m_cbObjectType->addItem(icon, m_ObjDlg.TypeName(k), k);
        if (m_cbObjectType->count() != k + 1) {
            if (m_pApp && m_pApp->Ui())
                m_pApp->Ui()->MessageBox(QStringLiteral("ExCombo err"));
            return;
        }
    }
    m_cbObjectType->setCurrentIndex(0);
    // Only while the properties dialog is up does it follow the box at once.
    if (m_ObjDlg.isVisible())
        m_ObjDlg.m_nObjType = QXPanObj::TypeBackground;
}

void CQXPanMainDlg::OnImageTypeChange()
{
    if (!m_pApp || !m_bInitialised)
        return;
    if (m_DesignDlg.IsDesignModified()) {
        const int answer = m_pApp->Ui()
                               ? m_pApp->Ui()->MessageBox(QStringLiteral("Do you want to clear?"),
                                                          QString::fromLatin1(kAppName),
                                                          UserInteraction::MB_OKCANCEL)
                               : int(UserInteraction::IDCANCEL);
        if (answer != UserInteraction::IDOK) {
            m_cbImageType->setCurrentIndex(m_nImageTypeSel);
            return;
        }
    }

    const int previousMode = m_ObjDlg.m_nMode;
    m_ObjDlg.m_nMode = QXPanObj::ModeImageTypeSwitch;
    // The selected object belongs to the screen that goes.
    m_DesignDlg.Deselect();
    // Another screen's design: nothing before it can be taken back.
    m_DesignDlg.SuspendRecording();
    m_nImageTypeSel = m_cbImageType->currentIndex();
    const int T = kFirstScreenFile + m_nImageTypeSel;
    FillObjectTypeCombo(T);
    FillItemList(true);
    m_DesignDlg.ClearObjects(false);
    m_DesignDlg.LoadTableSlice(m_arrBitmapTable, T);
    SelectFirstBackground(T);
    m_DesignDlg.m_bModified = false;
    m_DesignDlg.ResumeRecording();
    m_DesignDlg.ClearHistory();
    m_DesignDlg.MarkSaved();
    m_DesignDlg.Redraw();
    m_ObjDlg.m_nMode = previousMode;
}

void CQXPanMainDlg::SelectFirstBackground(int T)
{
    const QString screenFile = RegisterFileName(T);
    const CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    for (int pos = 0; pos < m_lcItems->topLevelItemCount(); ++pos) {
        const size_t row = size_t(pos) + 1;
        if (row >= backgrounds.size())
            break;
        const QString& name = backgrounds[row].m_strCol1;
        if (name.compare(screenFile, Qt::CaseInsensitive) == 0 ||
            name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
            // Selected afresh: the row may be current while another screen's picture shows.
            m_lcItems->clearSelection();
            SelectListPosition(pos);
            return;
        }
    }
}

void CQXPanMainDlg::ReadBitmapTableFile()
{
    if (!m_pApp)
        return;
    ShowFileResult(BitmapTableFile::Read(m_pApp->m_strProgramFolder, m_arrBitmapTable).result);
}

QTreeWidgetItem* CQXPanMainDlg::ItemAt(int nPos) const
{
    return nPos >= 0 && nPos < m_lcItems->topLevelItemCount() ? m_lcItems->topLevelItem(nPos)
                                                              : nullptr;
}

void CQXPanMainDlg::FillItemList(bool bOnlyWhenChanged)
{
    const int sel = m_cbObjectType->currentIndex();
    if (bOnlyWhenChanged && sel == m_ObjDlg.m_nObjType)
        return;

    const int previousMode = m_ObjDlg.m_nMode;
    m_ObjDlg.m_nMode = QXPanObj::ModeRefill;
    m_ObjDlg.m_nObjType = sel;

    m_lcItems->clear();
    const CQXPanRefList* list =
        sel >= 0 ? m_ObjDlg.ListOfType(m_cbObjectType->itemData(sel).toInt()) : nullptr;
    if (list && !list->empty()) {
        const CQXPanRefItem& header = list->front();
        m_lcItems->setHeaderLabels({header.m_strCol1, header.m_strCol2, header.m_strCol3});
        const DialogUnits du(m_lcItems->font());
        m_lcItems->setColumnWidth(0, FirstColumnWidth(du, header.m_strCol1));
        m_lcItems->setColumnWidth(1, OtherColumnWidth(du, header.m_strCol2));
        m_lcItems->setColumnWidth(2, OtherColumnWidth(du, header.m_strCol3));

        // Built from the last row to the first: position p shows row p + 1.
        QList<QTreeWidgetItem*> items;
        items.reserve(qsizetype(list->size()) - 1);
        for (size_t row = 1; row < list->size(); ++row) {
            const CQXPanRefItem& ref = (*list)[row];
            auto* item = new QTreeWidgetItem({ref.m_strCol1, ref.m_strCol2, ref.m_strCol3});
            item->setData(0, Qt::UserRole, int(row));
            items.append(item);
        }
        m_lcItems->addTopLevelItems(items);
    }

    const int type = m_ObjDlg.m_nObjType;
    m_lcItems->setEnabled(type != QXPanObj::TypeTableRect && type != QXPanObj::TypeTableRound);
    GetDlgItem(IDC_BROWSE)
        ->setEnabled(type == QXPanObj::TypeBackground || type == QXPanObj::TypePlaceBitmap);
    GetDlgItem(IDC_EDIT)->setEnabled(type == QXPanObj::TypePlaceBitmap);

    m_ObjDlg.m_nMode = previousMode;
}

void CQXPanMainDlg::OnObjectTypeChange()
{
    // The selected object is of the old type: Delete, Cut, Copy and the arrows would otherwise
    // act on an object of the new type's list with the same index.
    if (m_cbObjectType->currentIndex() != m_ObjDlg.m_nObjType)
        m_DesignDlg.Deselect();
    FillItemList(true);
    if (m_lcItems->topLevelItemCount() > 0) {
        SelectListPosition(m_ObjDlg.m_nObjType == QXPanObj::TypeBackground ? m_nListSel : 0);
    }
}

void CQXPanMainDlg::SelectListPosition(int nPos)
{
    QTreeWidgetItem* item = ItemAt(nPos);
    if (!item) {
        m_lcItems->clearSelection();
        return;
    }
    m_lcItems->setCurrentItem(item);
    m_lcItems->scrollToItem(item);
}

void CQXPanMainDlg::OnItemSelected(int nPos)
{
    if (m_ObjDlg.m_nMode == QXPanObj::ModeRefill)
        return;
    const QTreeWidgetItem* item = ItemAt(nPos);
    if (!item)
        return;
    const int row = item->data(0, Qt::UserRole).toInt();

    if (m_ObjDlg.m_nObjType != QXPanObj::TypeBackground) {
        m_ObjDlg.SelectRow(row);
        return;
    }

    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    if (row >= 1 && size_t(row) < m_ObjDlg.m_BgList.size() && m_pApp) {
        const QString name = m_ObjDlg.m_BgList[size_t(row)].m_strCol1;
        const BackgroundRowKind kind = BackgroundRowKindOf(name);
        if (kind != BackgroundRowKind::Other) {
            const WaitCursor wait;
            ShowFileResult(LoadBackgroundRow(name, m_pApp->RefFolders(), m_DesignDlg.m_Background));
            // Only a bitmap can be given to the bitmap editor.
            GetDlgItem(IDC_EDIT)->setEnabled(kind == BackgroundRowKind::Bitmap);
        }
    }
    m_nListSel = nPos;
    m_DesignDlg.OnItemListChanged();
    m_DesignDlg.EndDesignChange<CQXPanBackgroundCommand>(std::move(before), m_nListSel);
}

void CQXPanMainDlg::OnBeginDrag(int nPos)
{
    if (m_ObjDlg.m_nMode == QXPanObj::ModeRefill || m_ObjDlg.m_nObjType == QXPanObj::TypeBackground)
        return;
    const QTreeWidgetItem* item = ItemAt(nPos);
    if (!item)
        return;
    m_ObjDlg.SelectRow(item->data(0, Qt::UserRole).toInt());
    m_ObjDlg.m_nMode = QXPanObj::ModeDragging;
    // The design area takes the mouse; its release ends the drag.
    m_DesignDlg.grabMouse(m_hDragCursor);
}

int CQXPanMainDlg::LoadBackgroundBitmap(const QString& path)
{
    if (m_ObjDlg.m_nObjType > QXPanObj::TypePlaceBitmap)
        return -1;
    if (m_ObjDlg.m_nObjType == QXPanObj::TypePlaceBitmap)
        return 0;
    const FileResult loaded = ::LoadBackgroundBitmap(path, m_DesignDlg.m_Background);
    ShowFileResult(loaded);
    return loaded ? 0 : -2;
}

int CQXPanMainDlg::ImportScreenFile(int nFileNo)
{
    if (!m_pApp)
        return ScreenImportRefused;
    const WaitCursor wait;
    const FileResult imported =
        ::ImportScreenFile(nFileNo, m_ObjDlg.m_nObjType, m_DesignDlg.m_Background,
                           m_pApp->m_strProgramFolder, m_pApp->m_strBackgroundFolder);
    ShowFileResult(imported);
    return imported.code;
}

void CQXPanMainDlg::ShowListPositionQuietly(int nPos)
{
    const int mode = m_ObjDlg.m_nMode;
    m_ObjDlg.m_nMode = QXPanObj::ModeRefill;
    SelectListPosition(nPos);
    m_ObjDlg.m_nMode = mode;
}
