#include "document/CQXPanUndoCommands.h"

namespace {

const QString kCreate = QStringLiteral("Create");
const QString kPaste = QStringLiteral("Paste");
const QString kDelete = QStringLiteral("Delete");
const QString kCut = QStringLiteral("Cut");

} // namespace

CQXPanCreateCommand::CQXPanCreateCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key,
                                         bool bModifiedBefore, bool bModifiedAfter)
    : CQXPanObjectCommand(doc, kCreate, index, std::nullopt, key, bModifiedBefore, bModifiedAfter)
{}

CQXPanCreateCommand::CQXPanCreateCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap,
                                         bool bModifiedBefore, bool bModifiedAfter)
    : CQXPanObjectCommand(doc, kCreate, index, std::nullopt, bitmap, bModifiedBefore,
                          bModifiedAfter)
{}

// Edit commands leave the modified mark as it is, so before and after are the same.
CQXPanPasteCommand::CQXPanPasteCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key,
                                       bool bModified)
    : CQXPanObjectCommand(doc, kPaste, index, std::nullopt, key, bModified, bModified)
{}

CQXPanPasteCommand::CQXPanPasteCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap,
                                       bool bModified)
    : CQXPanObjectCommand(doc, kPaste, index, std::nullopt, bitmap, bModified, bModified)
{}

CQXPanDeleteCommand::CQXPanDeleteCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key,
                                         bool bModified)
    : CQXPanObjectCommand(doc, kDelete, index, key, std::nullopt, bModified, bModified)
{}

CQXPanDeleteCommand::CQXPanDeleteCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap,
                                         bool bModified)
    : CQXPanObjectCommand(doc, kDelete, index, bitmap, std::nullopt, bModified, bModified)
{}

CQXPanCutCommand::CQXPanCutCommand(CQXPanDocument& doc, int index, const CQXPanKeyObj& key,
                                   bool bModified)
    : CQXPanObjectCommand(doc, kCut, index, key, std::nullopt, bModified, bModified)
{}

CQXPanCutCommand::CQXPanCutCommand(CQXPanDocument& doc, int index, const CQXPanBmpObj& bitmap,
                                   bool bModified)
    : CQXPanObjectCommand(doc, kCut, index, bitmap, std::nullopt, bModified, bModified)
{}

bool CQXPanNudgeCommand::mergeWith(const QUndoCommand* other)
{
    const auto* later = dynamic_cast<const CQXPanNudgeCommand*>(other);
    if (!later || !IsFresh() || later->Kind() != Kind() || later->Index() != Index())
        return false;
    if (later->m_msLast - m_msLast > kBurstMs || later->m_msLast < m_msLast)
        return false;
    TakeAfterFrom(*later);
    m_msLast = later->m_msLast;
    return true;
}

// A drop onto a key and the properties dialog leave the modified mark as it is.
CQXPanDropOnKeyCommand::CQXPanDropOnKeyCommand(CQXPanDocument& doc, int index,
                                               const CQXPanKeyObj& before,
                                               const CQXPanKeyObj& after, bool bModified)
    : CQXPanObjectCommand(doc, QStringLiteral("Drop"), index, before, after, bModified, bModified)
{}

CQXPanPropertiesCommand::CQXPanPropertiesCommand(CQXPanDocument& doc, int index,
                                                 const CQXPanKeyObj& before,
                                                 const CQXPanKeyObj& after, bool bModified)
    : CQXPanObjectCommand(doc, QStringLiteral("Properties"), index, before, after, bModified,
                          bModified)
{}

CQXPanBackgroundCommand::CQXPanBackgroundCommand(CQXPanDocument& doc, CQXPanDesignState before,
                                                 CQXPanDesignState after)
    : CQXPanDesignCommand(doc, QStringLiteral("Background"), std::move(before), std::move(after))
{}

CQXPanNewCommand::CQXPanNewCommand(CQXPanDocument& doc, CQXPanDesignState before,
                                   CQXPanDesignState after)
    : CQXPanDesignCommand(doc, QStringLiteral("New"), std::move(before), std::move(after))
{}

CQXPanOpenCommand::CQXPanOpenCommand(CQXPanDocument& doc, CQXPanDesignState before,
                                     CQXPanDesignState after)
    : CQXPanDesignCommand(doc, QStringLiteral("Open"), std::move(before), std::move(after))
{}
