#include "formats/ScreenRender.h"

#include "document/CQXPanDocument.h"
#include "image/CDibImage.h"

bool RenderScreenImage(const CQXPanDocument& design, CDibImage& target)
{
    const int width = kQXPanScreenRect.Width();
    const int height = kQXPanScreenRect.Height();
    const CDibImage& background = design.m_Background;
    const bool screenSized = background.Width() == width && background.Height() == height;
    if (screenSized && background.BitsPerPixel() == 24) {
        // The background's own pixels until a bitmap is drawn: no cleared picture first, and
        // none of the 2.3 MB copied when nothing is placed.
        target.CopyFrom(background);
    } else {
        if (!target.Create(width, height, 24))
            return false;
        // Without a background the picture stays black (the created image).
        if (!background.IsEmpty()) {
            const bool ok = screenSized
                                ? background.BitBlt(target, 0, 0, width, height, 0, 0)
                                : background.StretchBlt(target, 0, 0, width, height, 0, 0,
                                                        background.Width(), background.Height());
            if (!ok)
                return false;
        }
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
