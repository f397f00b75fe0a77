#pragma once

#include "canvas/CQXPanDesignState.h"

#include <QUndoCommand>

class CQXPanDesignDlg;

/// A change of the whole design (New, Open, a background choice): undo and redo put back the
/// objects, the background picture, the background row and the modified mark as they were.
/// Recorded after the change was made, so the first redo does nothing.
class CQXPanDesignCommand : public QUndoCommand
{
public:
    CQXPanDesignCommand(CQXPanDesignDlg& design, const QString& text, CQXPanDesignState before,
                        CQXPanDesignState after);

    void undo() override;
    void redo() override;

    /// True when the two states differ in anything that undo would put back.
    bool Changes() const;

private:
    CQXPanDesignDlg& m_design;
    CQXPanDesignState m_before;
    CQXPanDesignState m_after;
    bool m_bDone = true;
};
