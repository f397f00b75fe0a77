#pragma once

#include "document/PanelReadHost.h"

#include <QStringList>

#include <memory>
#include <vector>

class CDibImage;
struct FuzzOutcome;

/// A panel reading host whose lists and answers all follow from one settings byte, so every input
/// replays the same way. It records messages and checks the arguments the reader hands it.
class FuzzPanelHost : public PanelReadHost
{
public:
    /// settings: bits 0-1 unused here, bit 2 answers No to a missing bitmap, bit 3 fails to take
    /// even placed-bitmap rows, bits 4-5 pick the background list, bit 6 empties the placed list.
    FuzzPanelHost(unsigned char settings, int imageType, FuzzOutcome& outcome);
    ~FuzzPanelHost() override;

    QStringList BackgroundNames() const override;
    QStringList PlacedBitmapNames() const override;
    void SelectBackgroundItem(int nListSel, int nItem) override;
    void LoadEmptyBackground(int nListSel) override;
    void ImportScreenBackground(int nListSel, int fileNumber) override;
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override;
    bool AskContinue(const QString& fileName, const QString& question) override;

private:
    unsigned char m_settings;
    int m_imageType;
    FuzzOutcome& m_outcome;
    QStringList m_background;
    QStringList m_placed;
    std::vector<std::unique_ptr<CDibImage>> m_images;
};
