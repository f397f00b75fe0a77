#pragma once

class CDibImage;
class CQXPanDocument;

/// Renders the background and the placed bitmaps of a design into a register screen picture
/// (keys and tables go to the register as records, not pixels). False when the picture cannot
/// be created or the background cannot be drawn.
bool RenderScreenImage(const CQXPanDocument& design, CDibImage& target);
