#pragma once

#include "document/QXPanTypes.h"

#include <QString>

class CQXPanKeyObj;

/// The editor's object types and interaction modes, shared by the item list, the design area
/// and the properties dialog.
namespace QXPanObj {

/// Object types. Their numbers are stored in the object type box and derived from records: do
/// not renumber. Even types from 2 on are rectangular, odd ones round; type >> 1 is the pair.
enum Type : int
{
    TypeBackground = 0,
    TypePlaceBitmap = 1,
    TypeTableRect = 2,
    TypeTableRound = 3,
    TypeSysKeyRect = 4,
    TypeSysKeyRound = 5,
    TypeFreeFuncRect = 6,
    TypeFreeFuncRound = 7,
};
inline constexpr int kTypeCount = 8;

/// What is going on, for the handlers of the main dialog and the design area.
enum Mode : int
{
    ModeReleasedOutside = 0,
    ModeRefill = 1,
    ModeImageTypeSwitch = 2,
    ModeDragging = 3,
    ModeIdle = 4,
    ModeButtonDown = 5,
};

/// The display name of an object type ("Background" ... "Free Function(Round)"), empty for
/// another value.
QString TypeName(int type);
/// Object type of a key or table record: table, free function or system key by type code and
/// number, rectangle or round by shape byte.
int ObjectTypeOf(const CQXPanKeyObj& key);
/// Black for a colour whose channel mean is above 127, else white: readable text on it.
QXPanColor ContrastColour(QXPanColor colour);

} // namespace QXPanObj
