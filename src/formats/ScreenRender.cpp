#include "formats/ScreenRender.h"

#include "document/CQXPanDocument.h"
#include "image/CDibImage.h"

bool RenderScreenImage(const CQXPanDocument& design, CDibImage& target)
{
    const int width = kQXPanScreenRect.Width();
    const int height = kQXPanScreenRect.Height();
    if (!target.Create(width, height, 24))
        return false;
    // Without a background the picture stays black (the created image).
    if (!design.m_Background.IsEmpty()) {
        bool ok = false;
        if (design.m_Background.Width() == width && design.m_Background.Height() == height)
            ok = design.m_Background.BitBlt(target, 0, 0, width, height, 0, 0);
        else
            ok = design.m_Background.StretchBlt(target, 0, 0, width, height, 0, 0,
                                                design.m_Background.Width(),
                                                design.m_Background.Height());
        if (!ok)
            return false;
    }
    // Last to first, so the first placed bitmap ends up on top.
    for (qsizetype i = design.m_BmpObjs.size() - 1; i >= 0; --i) {
        const CQXPanBmpObj& obj = design.m_BmpObjs[i];
        if (!obj.m_pImage || obj.m_pImage->IsEmpty())
            continue;
        const QXPanRect& r = obj.m_rcRegister;
        // A failed stretch of one bitmap is ignored.
        obj.m_pImage->StretchBlt(target, r.left, r.top, r.Width(), r.Height(), 0, 0,
                                 obj.m_pImage->Width(), obj.m_pImage->Height());
    }
    return true;
}
