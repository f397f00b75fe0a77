#pragma once

#include "FakeConfigLibrary.h"
#include "ScriptedUserInteraction.h"
#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlg.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

/// A temporary branch with all five folders, an application object on a fake configuration
/// library, and scripted user interaction.
struct AppTestEnvironment
{
    QTemporaryDir dir;
    ScriptedUserInteraction ui;
    FakeConfigLibrary* library = nullptr; // owned by app
    std::unique_ptr<CQXPanApp> app;

    /// realUi, when given, takes the place of the scripted interaction: the real dialogs.
    explicit AppTestEnvironment(UserInteraction* realUi = nullptr)
    {
        auto owned = std::make_unique<FakeConfigLibrary>();
        library = owned.get();
        const QList<QPair<int, QString>> kinds = {{DEFBS_ENV_DATA, QStringLiteral("data")},
                                                  {DEFBS_ENV_WORK, QStringLiteral("work")},
                                                  {DEFBS_ENV_PROGRAM, QStringLiteral("program")},
                                                  {DEFBS_ENV_PLACEDBMP, QStringLiteral("placed")},
                                                  {DEFBS_ENV_BACKGROUND, QStringLiteral("back")}};
        for (const auto& [kind, name] : kinds) {
            QDir(dir.path()).mkdir(name);
            library->folders.insert(kind, Folder(name));
        }
        library->files = {{796, 0, 0, QStringLiteral("Screen Logo"), {}},
                          {797, 0, 0, QStringLiteral("Check Window 22"), {}},
                          {798, 0, 0, QStringLiteral("Check Window 21"), {}},
                          {799, 0, 0, QStringLiteral("Check Window 23"), {}}};
        app = std::make_unique<CQXPanApp>(QxCtrlStore(dir.filePath(QStringLiteral("store.ini"))),
                                          realUi ? realUi : &ui, std::move(owned));
        // What InitInstance sets before the dialog runs.
        app->m_rcScreen = QxRect{0, 0, 1024, 768};
        app->m_rcDesign = QxRect{0, 0, 800, 600};
        app->m_nRecordSize = 62;
    }

    QString Folder(const QString& name) const { return dir.filePath(name); }
};

/// Runs `act` once the application's main dialog is up inside its modal loop.
inline void WhenDialogRuns(std::function<void(CQXPanMainDlg&)> act)
{
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dlg = qobject_cast<CQXPanMainDlg*>(w); dlg && dlg->isVisible()) {
                act(*dlg);
                return;
            }
        }
        ADD_FAILURE() << "the main dialog is not running";
    });
}
