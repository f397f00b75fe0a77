#pragma once

#include "document/PanelReadHost.h"
#include "document/QXPanObjectTypes.h"

class CQXPanMainDlg;
class UserInteraction;

// Reading a panel file with the editor's effects: the item list follows the background, the
// properties dialog picks the placed bitmaps, questions go to the user.
class CQXPanEditorPanelHost final : public PanelReadHost
{
public:
    explicit CQXPanEditorPanelHost(CQXPanMainDlg& dlg) : m_dlg(dlg) {}

    void BeginRead() override;
    void EndRead() override;
    QStringList BackgroundNames() const override;
    QStringList PlacedBitmapNames() const override;
    void SelectBackgroundItem(int nListSel, int nItem) override;
    void LoadEmptyBackground(int nListSel) override;
    void ImportScreenBackground(int nListSel, int fileNumber) override;
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override;
    bool AskContinue(const QString& fileName, const QString& question) override;

private:
    UserInteraction* Ui() const;

    CQXPanMainDlg& m_dlg;
    int m_savedType = QXPanObj::TypeBackground;
};
