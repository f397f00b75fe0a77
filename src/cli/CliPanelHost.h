#pragma once

#include "document/PanelReadHost.h"
#include "fileio/FileResult.h"

#include <QString>

#include <map>
#include <memory>

class CDibImage;
class CQXPanDocument;
class CQXPanRefLists;
class CliIo;

/// Reads a panel file for the command-line tool the way the editor opens it: backgrounds and
/// placed bitmaps come from the branch's reference lists; questions are answered for the user
/// (a missing placed bitmap is reported and skipped).
class CliPanelHost : public PanelReadHost
{
public:
    CliPanelHost(const CQXPanRefLists& lists, CQXPanDocument& design, const QString& panelPath,
                 CliIo& io);
    ~CliPanelHost() override;

    QStringList BackgroundNames() const override;
    QStringList PlacedBitmapNames() const override;
    void SelectBackgroundItem(int nListSel, int nItem) override;
    void LoadEmptyBackground(int nListSel) override;
    void ImportScreenBackground(int nListSel, int fileNumber) override;
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override;
    bool AskContinue(const QString& fileName, const QString& question) override;
    /// The answer to the missing-bitmap question: yes goes on reading (the default), no stops
    /// there, as the editor's two buttons do.
    void SetAnswer(bool bContinue) { m_bContinue = bContinue; }
    /// The background row the design chose (the editor's m_nListSel), -1 before any.
    int ListSel() const { return m_nListSel; }
    /// The placed-bitmap row whose image the object shows, -1 for none.
    int RowOfImage(const CDibImage* image) const;
    /// What reading said, in order: messages and the questions asked.
    const QStringList& Messages() const { return m_messages; }

private:
    void Report(const FileResult& result);

    const CQXPanRefLists& m_lists;
    CQXPanDocument& m_design;
    QString m_panelPath;
    CliIo& m_io;
    bool m_bContinue = true;
    int m_nListSel = -1;
    QStringList m_messages;
    std::map<int, std::unique_ptr<CDibImage>> m_images; ///< placed-bitmap row -> its image
};
