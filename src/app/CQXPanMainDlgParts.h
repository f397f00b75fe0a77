#pragma once

// What the files of the main dialog share: its measures, resources and small helpers.

#include "app/CQXPanApp.h"
#include "fileio/FileResult.h"
#include "refdata/CQXPanRefItem.h"
#include "reglib/QxCtrlTypes.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QApplication>
#include <QString>
#include <QStringList>

namespace MainDlgParts {

// Size of the dialog's client area in dialog units, and the width of the left column's controls.
inline constexpr int kDialogWidthDlu = 677;
inline constexpr int kDialogHeightDlu = 389;
inline constexpr int kLeftColumnX = 10;
inline constexpr int kLeftColumnDlu = 117;
// The position readout under the design area needs this much more room at the bottom.
inline constexpr int kReadoutRoomDlu = 10;
inline constexpr int kReadoutHeight = 16;

inline constexpr int kMinTrackWidth = 600;
inline constexpr int kMinTrackHeight = 400;

// Heights of the closed combo boxes: the plain one as tall as its text line, the one with the
// object type pictures as tall as a 32-pixel picture.
inline constexpr int kComboHeight = 21;
inline constexpr int kImageComboHeight = 38;
inline constexpr int kObjectTypeIconSize = 32;
inline constexpr int kItemColumnCount = 3;
inline constexpr int kItemColumnWidth = 10;

inline constexpr quint32 kChangeToOld = CQXPanApp::kChangeToOld;

// The object type pictures: one strip of 17 pictures of 32 x 32 (bitmap 132).
inline constexpr int kObjectTypePictures = 17;
inline const QString kObjectTypeStrip = QStringLiteral(":/qxpan/objtypes.bmp");
// Drag cursor (134); its arrow tip, the hot spot, is the top-left pixel.
inline const QString kDragCursorPicture = QStringLiteral(":/qxpan/dragcursor.png");

// The first screen file: item i of the image type box is screen 796 + i.
inline constexpr int kFirstScreenFile = 796;
inline constexpr int kFirstCheckWindow = 797;
inline constexpr int kScreenFileCount = 4;

// Column widths of the item list from the header texts; 0 hides a column.
// Column widths grow with the dialog font, so that the texts fit at any font.
inline int FirstColumnWidth(const DialogUnits& du, const QString& caption)
{
    return caption.isEmpty() ? 0 : du.Pixels(8 * int(caption.size()) + 10);
}
inline int OtherColumnWidth(const DialogUnits& du, const QString& caption)
{
    return caption.isEmpty() ? 0 : du.Pixels(10 * (int(caption.size()) + 1));
}

inline UserInteraction::Icon ToBoxIcon(FileMessage::Icon icon)
{
    switch (icon) {
    case FileMessage::StopIcon:
        return UserInteraction::MB_ICONERROR;
    case FileMessage::ExclamationIcon:
        return UserInteraction::MB_ICONEXCLAMATION;
    case FileMessage::NoIcon:
        break;
    }
    return UserInteraction::MB_NOICON;
}

// Restores the previous cursor however the operation ends.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

inline QxRect Normalised(QxRect rc)
{
    if (rc.left < 0 || rc.top < 0) {
        rc.left = 0;
        rc.top = 0;
    }
    if (rc.right - rc.left < kMinTrackWidth)
        rc.right = rc.left + kMinTrackWidth;
    if (rc.bottom - rc.top < kMinTrackHeight)
        rc.bottom = rc.top + kMinTrackHeight;
    return rc;
}

// The first column of every row of a list: the file names of the bitmap lists.
inline QStringList NamesOf(const CQXPanRefList& list)
{
    QStringList names;
    names.reserve(qsizetype(list.size()));
    for (const CQXPanRefItem& item : list)
        names.append(item.m_strCol1);
    return names;
}

} // namespace MainDlgParts
