#include "document/CQXPanBmpObj.h"

#include "image/CDibImage.h"

CQXPanBmpObj::CQXPanBmpObj()
{
    ComputeScale();
}

void CQXPanBmpObj::ComputeScale()
{
    m_Scale.Compute();
}

void CQXPanBmpObj::EnsureScale()
{
    if (!m_Scale.IsSet())
        ComputeScale();
}

bool CQXPanBmpObj::SetDisplayRect(const QXPanRect& r)
{
    if (m_Cell.m_rect == r)
        return false;
    EnsureScale();
    QXPanRect clamped = r;
    if (clamped.left < 0)
        clamped.left = 0;
    if (clamped.top < 0)
        clamped.top = 0;
    if (clamped.right > m_Scale.w - 1)
        clamped.right = m_Scale.w - 1;
    if (clamped.bottom > m_Scale.h - 1)
        clamped.bottom = m_Scale.h - 1;
    m_Cell.m_rect = clamped;
    m_rcRegister = m_Scale.DesignToRegister(clamped);
    return true;
}

void CQXPanBmpObj::SetRegisterRect(const QXPanRect& r)
{
    EnsureScale();
    m_rcRegister = r;
    m_Cell.m_rect = m_Scale.RegisterToDesign(r);
}

void CQXPanBmpObj::SetImage(CDibImage* pImage, const QString* pFileName)
{
    if (pFileName)
        m_strFileName = *pFileName;
    m_pImage = pImage;
    if (pImage && m_rcRegister.IsRectEmpty())
        SetRegisterRect({0, 0, pImage->Width(), pImage->Height()});
}
