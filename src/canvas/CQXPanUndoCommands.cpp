#include "canvas/CQXPanUndoCommands.h"

namespace {

const QString kCreate = QStringLiteral("Create");
const QString kPaste = QStringLiteral("Paste");
const QString kDelete = QStringLiteral("Delete");
const QString kCut = QStringLiteral("Cut");

} // namespace

CQXPanCreateCommand::CQXPanCreateCommand(CQXPanDesignDlg& design, int index,
                                         const CQXPanKeyObj& key, bool bModifiedBefore,
                                         bool bModifiedAfter)
    : CQXPanObjectCommand(design, kCreate, index, std::nullopt, key, bModifiedBefore,
                          bModifiedAfter)
{}

CQXPanCreateCommand::CQXPanCreateCommand(CQXPanDesignDlg& design, int index,
                                         const CQXPanBmpObj& bitmap, bool bModifiedBefore,
                                         bool bModifiedAfter)
    : CQXPanObjectCommand(design, kCreate, index, std::nullopt, bitmap, bModifiedBefore,
                          bModifiedAfter)
{}

// Edit commands leave the modified mark as it is, so before and after are the same.
CQXPanPasteCommand::CQXPanPasteCommand(CQXPanDesignDlg& design, int index, const CQXPanKeyObj& key,
                                       bool bModified)
    : CQXPanObjectCommand(design, kPaste, index, std::nullopt, key, bModified, bModified)
{}

CQXPanPasteCommand::CQXPanPasteCommand(CQXPanDesignDlg& design, int index,
                                       const CQXPanBmpObj& bitmap, bool bModified)
    : CQXPanObjectCommand(design, kPaste, index, std::nullopt, bitmap, bModified, bModified)
{}

CQXPanDeleteCommand::CQXPanDeleteCommand(CQXPanDesignDlg& design, int index,
                                         const CQXPanKeyObj& key, bool bModified)
    : CQXPanObjectCommand(design, kDelete, index, key, std::nullopt, bModified, bModified)
{}

CQXPanDeleteCommand::CQXPanDeleteCommand(CQXPanDesignDlg& design, int index,
                                         const CQXPanBmpObj& bitmap, bool bModified)
    : CQXPanObjectCommand(design, kDelete, index, bitmap, std::nullopt, bModified, bModified)
{}

CQXPanCutCommand::CQXPanCutCommand(CQXPanDesignDlg& design, int index, const CQXPanKeyObj& key,
                                   bool bModified)
    : CQXPanObjectCommand(design, kCut, index, key, std::nullopt, bModified, bModified)
{}

CQXPanCutCommand::CQXPanCutCommand(CQXPanDesignDlg& design, int index, const CQXPanBmpObj& bitmap,
                                   bool bModified)
    : CQXPanObjectCommand(design, kCut, index, bitmap, std::nullopt, bModified, bModified)
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
CQXPanDropOnKeyCommand::CQXPanDropOnKeyCommand(CQXPanDesignDlg& design, int index,
                                               const CQXPanKeyObj& before,
                                               const CQXPanKeyObj& after, bool bModified)
    : CQXPanObjectCommand(design, QStringLiteral("Drop"), index, before, after, bModified,
                          bModified)
{}

CQXPanPropertiesCommand::CQXPanPropertiesCommand(CQXPanDesignDlg& design, int index,
                                                 const CQXPanKeyObj& before,
                                                 const CQXPanKeyObj& after, bool bModified)
    : CQXPanObjectCommand(design, QStringLiteral("Properties"), index, before, after, bModified,
                          bModified)
{}

CQXPanBackgroundCommand::CQXPanBackgroundCommand(CQXPanDesignDlg& design, CQXPanDesignState before,
                                                 CQXPanDesignState after)
    : CQXPanDesignCommand(design, QStringLiteral("Background"), std::move(before), std::move(after))
{}

CQXPanNewCommand::CQXPanNewCommand(CQXPanDesignDlg& design, CQXPanDesignState before,
                                   CQXPanDesignState after)
    : CQXPanDesignCommand(design, QStringLiteral("New"), std::move(before), std::move(after))
{}

CQXPanOpenCommand::CQXPanOpenCommand(CQXPanDesignDlg& design, CQXPanDesignState before,
                                     CQXPanDesignState after)
    : CQXPanDesignCommand(design, QStringLiteral("Open"), std::move(before), std::move(after))
{}
