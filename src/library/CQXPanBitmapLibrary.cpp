#include "library/CQXPanBitmapLibrary.h"

#include "document/CQXPanDocument.h"
#include "fileio/FileCopy.h"
#include "refdata/CQXPanItemState.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/QxCtrlStore.h"
#include "uikit/UserInteraction.h"

#include <QDir>
#include <QFileInfo>

namespace CQXPanBitmapLibrary {

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

} // namespace

bool CopyIntoFolder(UserInteraction& ui, const QString& folder)
{
    UserInteraction::FileDialogRequest request;
    request.title = QStringLiteral("Copy into branch");
    request.initialName = folder + QLatin1Char('/');
    request.filter = QStringLiteral("bitmap file(*.bmp)");
    request.options = UserInteraction::FileMustExist;
    const QStringList files = ui.GetOpenFileNames(request);
    if (files.isEmpty())
        return false;

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
                return false;
        }
        if (QFileInfo::exists(destination)) {
            if (existing == Existing::NotAsked) {
                existing =
                    ui.MessageBox(QStringLiteral("Do you update existing BMP files in branch?"),
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
    return true;
}

bool EditAndWait(UserInteraction& ui, const QxCtrlStore& store, const QString& path)
{
    // An absolute path, so that a file name beginning with "-" never reads as an option.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // Screen table 4 names the branch's bitmap editor; flag bit value 2 says it is set.
    _ScreenDefinition_InterfaceTable table;
    const bool hasEditor =
        CDefScrInfo(store).GetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, table) != 0 &&
        (table.dwFlags & 2u) != 0;
    const UserInteraction::ProgramRun run = hasEditor
                                                ? ui.StartAndWait(table.strProgramPath, {absolute})
                                                : ui.OpenDocumentAndWait(absolute);
    if (!run.started) {
        ui.MessageBox(QStringLiteral("shell exe err"));
        return false;
    }
    return true;
}

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

QStringList RebindPlacedBitmaps(CQXPanItemState& items, CQXPanDocument& design)
{
    // The list's images are released below: keep only names and rectangles.
    const QList<CQXPanBmpObj> previous = design.m_BmpObjs;
    design.ClearObjects(true);
    items.RefreshBitmapLists(1);

    QStringList dropped;
    CQXPanRefList& list = items.m_BmpList;
    for (const CQXPanBmpObj& old : previous) {
        const int row = RowOfFile(list, old.m_strFileName);
        CQXPanBmpObj fresh;
        if (row > 0) {
            items.SelectRow(row);
            // A listed file that no longer loads leaves its object out of the design.
            if (items.ApplyItemToBitmap(fresh)) {
                fresh.SetRegisterRect(old.m_rcRegister);
                design.AddBmpObj(fresh);
                continue;
            }
        }
        if (!dropped.contains(old.m_strFileName))
            dropped.append(old.m_strFileName);
    }

    // The bitmap slot pointed into the old list as well.
    CQXPanBmpObj& clip = items.m_BmpClip;
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
    return dropped;
}

void ReloadBackground(CQXPanItemState& items, CQXPanDocument& design, const QString& shownName,
                      const QString& folder)
{
    items.RefreshBitmapLists(0);
    if (!IsBmpName(shownName))
        return;
    const CQXPanRefList& list = items.m_BgList;
    for (size_t row = 1; row < list.size(); ++row) {
        if (list[row].m_strCol1.compare(shownName, Qt::CaseInsensitive) == 0) {
            // Not reported: a file that fails to load keeps the shown background.
            design.m_Background.Load(QDir(folder).filePath(list[row].m_strCol1));
            return;
        }
    }
}

} // namespace CQXPanBitmapLibrary
