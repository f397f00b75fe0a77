#pragma once

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"

#include <QList>

#include <memory>

class CDibImage;

/// Everything New, Open or a background choice can change, kept so that it can be put back
/// exactly: the objects, the background picture, the item list's background row and the
/// modified mark. Copies share their data until changed.
struct CQXPanDesignState
{
    QList<CQXPanKeyObj> keys;
    QList<CQXPanBmpObj> bitmaps;
    std::shared_ptr<const CDibImage> background; ///< never null once captured
    int nListSel = -1;
    bool bModified = false;
};
