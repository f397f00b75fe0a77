#pragma once

#include "document/CQXPanDesignCommand.h"
#include "document/CQXPanObjectCommand.h"

// The verbs of the design's history. Each only names its change; the base classes keep the
// exact records (or the whole design) before and after it.

/// Identifiers QUndoCommand::id() gives; only nudges merge.
enum CQXPanUndoId : int
{
    kUndoIdNudge = 1
};

/// A key or table drawn as a rubber band, or a placed bitmap drawn or dropped from the item list.
class CQXPanCreateCommand : public CQXPanObjectCommand
{
public:
    CQXPanCreateCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key,
                        bool bModifiedBefore, bool bModifiedAfter);
    CQXPanCreateCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap,
                        bool bModifiedBefore, bool bModifiedAfter);
};

/// An object pasted from the internal clipboard.
class CQXPanPasteCommand : public CQXPanObjectCommand
{
public:
    CQXPanPasteCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key, bool bModified);
    CQXPanPasteCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap, bool bModified);
};

/// An object removed by Delete (button, key or menu).
class CQXPanDeleteCommand : public CQXPanObjectCommand
{
public:
    CQXPanDeleteCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key, bool bModified);
    CQXPanDeleteCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap, bool bModified);
};

/// An object removed by Cut; the clipboard keeps its copy whatever the history does.
class CQXPanCutCommand : public CQXPanObjectCommand
{
public:
    CQXPanCutCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key, bool bModified);
    CQXPanCutCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap, bool bModified);
};

/// One drag of an object's body with the mouse.
class CQXPanMoveCommand : public CQXPanObjectCommand
{
public:
    template <class Obj>
    CQXPanMoveCommand(CQXPanDocument& doc, int index, const Obj& before, const Obj& after,
                      bool bModifiedBefore, bool bModifiedAfter)
        : CQXPanObjectCommand(doc, QStringLiteral("Move"), index, std::optional<Obj>(before),
                              std::optional<Obj>(after), bModifiedBefore, bModifiedAfter)
    {}
};

/// One drag of a handle of an object's frame.
class CQXPanResizeCommand : public CQXPanObjectCommand
{
public:
    template <class Obj>
    CQXPanResizeCommand(CQXPanDocument& doc, int index, const Obj& before, const Obj& after,
                        bool bModifiedBefore, bool bModifiedAfter)
        : CQXPanObjectCommand(doc, QStringLiteral("Resize"), index, std::optional<Obj>(before),
                              std::optional<Obj>(after), bModifiedBefore, bModifiedAfter)
    {}
};

/// Arrow-key moves of one object. Presses that follow each other within kBurstMs on the same
/// object, with nothing else recorded, undone or redone in between, make one step.
class CQXPanNudgeCommand : public CQXPanObjectCommand
{
public:
    /// Longest pause between two presses of one burst, in milliseconds.
    static constexpr qint64 kBurstMs = 1000;

    template <class Obj>
    CQXPanNudgeCommand(CQXPanDocument& doc, int index, const Obj& before, const Obj& after,
                       bool bModifiedBefore, bool bModifiedAfter, qint64 msPressed)
        : CQXPanObjectCommand(doc, QStringLiteral("Nudge"), index, std::optional<Obj>(before),
                              std::optional<Obj>(after), bModifiedBefore, bModifiedAfter),
          m_msLast(msPressed)
    {}

    int id() const override { return kUndoIdNudge; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    qint64 m_msLast;
};

/// A row of the item list dropped onto a key or table, which takes the row's function, texts
/// and colours.
class CQXPanDropOnKeyCommand : public CQXPanObjectCommand
{
public:
    CQXPanDropOnKeyCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& before,
                           const CQXPanKeyObj& after, bool bModified);
};

/// What the properties dialog wrote into a key or table.
class CQXPanPropertiesCommand : public CQXPanObjectCommand
{
public:
    CQXPanPropertiesCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& before,
                            const CQXPanKeyObj& after, bool bModified);
};

/// A background row chosen in the item list.
class CQXPanBackgroundCommand : public CQXPanDesignCommand
{
public:
    CQXPanBackgroundCommand(CQXPanDocument& doc, CQXPanDesignState before, CQXPanDesignState after);
};

/// The New command: the design emptied and the first background shown.
class CQXPanNewCommand : public CQXPanDesignCommand
{
public:
    CQXPanNewCommand(CQXPanDocument& doc, CQXPanDesignState before, CQXPanDesignState after);
};

/// A panel file read in place of the design.
class CQXPanOpenCommand : public CQXPanDesignCommand
{
public:
    CQXPanOpenCommand(CQXPanDocument& doc, CQXPanDesignState before, CQXPanDesignState after);
};
