#include "branch/BranchEnvironment.h"

#include "fileio/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

FileResult ReadCurrentBranch(ConfigLibrary& library, QString& branch, QString& ecr)
{
    library.GetCurrBrnAndECR(branch, ecr);
    if (!branch.isEmpty())
        return FileResult::Done();
    const FileResult problem = library.LastProblem();
    return problem ? FileResult::Failed(library.Location(), QStringLiteral("no current branch"))
                   : problem;
}

FileResult ReadBranchFolders(ConfigLibrary& library, BranchFolders& folders)
{
    const struct
    {
        DEFBS_TYPE_ENVSTR kind;
        QString* path;
        bool create;
    } kinds[] = {{DEFBS_ENV_DATA, &folders.data, false},
                 {DEFBS_ENV_WORK, &folders.work, true},
                 {DEFBS_ENV_PROGRAM, &folders.program, true},
                 {DEFBS_ENV_PLACEDBMP, &folders.placed, true},
                 {DEFBS_ENV_BACKGROUND, &folders.background, true}};
    for (const auto& k : kinds) {
        if (library.GetActFolPath(k.kind, *k.path) == 0)
            return FileResult::Failed(
                library.Location(),
                QStringLiteral("folder of kind %1 is not set").arg(int(k.kind)));
        if (!k.create || QFileInfo(*k.path).isDir())
            continue;
        if (k.path->isEmpty() || !QDir().mkdir(*k.path))
            return FileResult::Failed(library.Location(),
                                      QStringLiteral("folder of kind %1 (%2) cannot be created")
                                          .arg(int(k.kind))
                                          .arg(QDir::toNativeSeparators(*k.path)));
    }
    return FileResult::Done();
}

void RemoveBranchLeftovers(const BranchFolders& folders)
{
    for (const QString* folder : {&folders.program, &folders.placed, &folders.background})
        AtomicFile::RemoveLeftovers(*folder);
}
