#pragma once

#include "document/CQXPanDesignState.h"
#include "document/CQXPanDocumentCommand.h"

/// A change of the whole design (New, Open, a background choice): undo and redo put back the
/// objects, the background picture, the background row and the modified mark as they were
/// before or after it.
class CQXPanDesignCommand : public CQXPanDocumentCommand
{
public:
    CQXPanDesignCommand(CQXPanDocument& doc, const QString& text, CQXPanDesignState before,
                        CQXPanDesignState after);

    void undo() override;
    void redo() override;

    /// True when the two states differ in anything that undo would put back.
    bool Changes() const override;

private:
    CQXPanDesignState m_before;
    CQXPanDesignState m_after;
};
