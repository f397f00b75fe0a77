// Convert and the register preview.
#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlgParts.h"
#include "app/CQXPanPreviewDlg.h"
#include "branch/BranchConvert.h"
#include "document/RegisterFiles.h"
#include "formats/BitmapTableFile.h"
#include "formats/RegisterPreview.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <optional>

using namespace MainDlgParts;

void CQXPanMainDlg::OnConvert()
{
    // Without a branch or an image type the file number would name no screen (795 is the
    // key table).
    if (!HasScreen() || !m_pApp->Ui())
        return;
    UserInteraction* ui = m_pApp->Ui();
    const int n = kFirstScreenFile + m_cbImageType->currentIndex();
    const QString question =
        n != kFirstScreenFile
            ? QStringLiteral("Do you save %1 and FILE795P.TXT ?").arg(RegisterFileName(n))
            : QStringLiteral("Do you save FILE796P.TXT ?");
    if (ui->MessageBox(question, QString::fromLatin1(kAppName), UserInteraction::MB_OKCANCEL) !=
        UserInteraction::IDOK)
        return;
    // The bitmap table now holds the design: the history ends here, and the design is in the
    // register's files.
    m_DesignDlg.ClearHistory();
    m_DesignDlg.MarkSaved();

    std::optional<WaitCursor> wait(std::in_place);
    const ConvertResult converted =
        ConvertDesign(m_DesignDlg, n, m_pApp->m_strProgramFolder, m_arrBitmapTable, true);
    // A screen file that could not be written is told first; the command went on.
    ShowFileResult(converted.screen);
    if (converted.ScreenTried())
        ListScreenFile(n);
    if (converted.stage != ConvertResult::Stage::Done) {
        wait.reset();
        const QString why =
            converted.failure.reason.isEmpty() ? QString() : converted.failure.Text();
        ui->MessageBox(why.isEmpty() ? QStringLiteral("Convert err")
                                     : QStringLiteral("Convert err\n\n%1").arg(why),
                       QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                       UserInteraction::MB_ICONERROR);
        return;
    }
    QString done = QStringLiteral("Normal end");
    if (!converted.keptCopy.isEmpty())
        done += QStringLiteral("\n\n") + BitmapTableFile::KeptCopyText(converted.keptCopy);
    ui->MessageBox(done);
    // The wait cursor stays until the closing message has been dismissed.
}

void CQXPanMainDlg::ListScreenFile(int n)
{
    CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    const QString target = RegisterFileName(n);
    const auto nameAt = [&backgrounds](int i) {
        return i < int(backgrounds.size()) ? backgrounds[size_t(i)].m_strCol1 : QString();
    };
    int insertAt = -1;
    int j = kFirstScreenFile;
    int i = 1;
    for (; i <= n - 795 && insertAt < 0; ++i) {
        const QString name = nameAt(i);
        if (name.compare(target, Qt::CaseInsensitive) == 0)
            return; // listed already
        while (name.compare(RegisterFileName(j), Qt::CaseInsensitive) != 0) {
            if (++j >= n) {
                insertAt = i;
                break;
            }
        }
    }
    if (insertAt < 0)
        insertAt = i;
    CQXPanRefItem entry;
    entry.m_strCol1 = target;
    const size_t at = std::min(size_t(insertAt), backgrounds.size());
    backgrounds.insert(backgrounds.begin() + qsizetype(at), std::move(entry));

    // The remembered background row moves down with its file, whichever type is shown.
    const int insertedPos = int(at) - 1;
    if (m_nListSel >= insertedPos)
        ++m_nListSel;
    if (m_cbObjectType->currentIndex() == QXPanObj::TypeBackground) {
        FillItemList(false);
        ShowListPositionQuietly(m_nListSel);
    }
}

void CQXPanMainDlg::OnPreview()
{
    if (!HasScreen())
        return;
    QImage picture;
    bool built = false;
    {
        WaitCursor wait;
        built = RegisterPreview::Build(m_DesignDlg, picture);
    }
    if (!built) {
        if (m_pApp && m_pApp->Ui())
            m_pApp->Ui()->MessageBox(QStringLiteral("The register preview could not be made."),
                                     QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                                     UserInteraction::MB_ICONERROR);
        return;
    }
    if (!m_previewDlg) {
        m_previewDlg = new CQXPanPreviewDlg(this);
        connect(m_previewDlg, &CQXPanPreviewDlg::RefreshRequested, this, &CQXPanMainDlg::OnPreview);
    }
    m_previewDlg->SetPicture(picture);
    m_previewDlg->show();
    m_previewDlg->raise();
    m_previewDlg->activateWindow();
}

// ---- Bitmap library and transfer ----
