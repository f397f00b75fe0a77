#pragma once

class CDibImage;
class CQXPanDocument;
class QImage;

/// The register screen as the register will show it: the rendered picture after the round trip
/// through register pixel words, with the design's keys and tables drawn on it.
class RegisterPreview
{
public:
    /// The picture a screen file written from screen decodes to: every pixel taken through
    /// RgbToRegisterWord and back. screen must be a 1024 x 768 picture of 16, 24 or 32 bits;
    /// anything else gives a null image.
    static QImage ThroughRegisterColours(const CDibImage& screen);
    /// Renders design, converts it through the register's colours and draws its keys and
    /// tables at register resolution into out (1024 x 768, RGB32). False, out unchanged, when
    /// the screen cannot be rendered.
    static bool Build(const CQXPanDocument& design, QImage& out);
};
