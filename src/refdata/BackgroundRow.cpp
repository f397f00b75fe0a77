#include "refdata/BackgroundRow.h"

#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"

#include <QDir>

BackgroundRowKind BackgroundRowKindOf(const QString& name)
{
    if (name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
        return BackgroundRowKind::Bitmap;
    if (name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return BackgroundRowKind::ScreenFile;
    return BackgroundRowKind::Other;
}

FileResult LoadBackgroundBitmap(const QString& path, CDibImage& background)
{
    background.Destroy();
    if (const FileResult loaded = background.Load(path); !loaded)
        return FileResult::Failed(path, QStringLiteral("open err"), loaded.code);
    return FileResult::Done();
}

FileResult LoadBackgroundRow(const QString& name, const CQXPanRefFolders& folders,
                             CDibImage& background)
{
    switch (BackgroundRowKindOf(name)) {
    case BackgroundRowKind::Bitmap:
        return LoadBackgroundBitmap(QDir(folders.m_strBackgroundFolder).filePath(name), background);
    case BackgroundRowKind::ScreenFile:
        // "FILE797P.TXT": the screen number follows "FILE".
        return ImportScreenFile(name.mid(4, 3).toInt(), 0, background, folders.m_strProgramFolder,
                                folders.m_strBackgroundFolder);
    case BackgroundRowKind::Other:
        break;
    }
    return FileResult::Done();
}
