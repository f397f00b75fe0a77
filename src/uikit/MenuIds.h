#pragma once

/// Menu command identifiers of the editor's menu bar and the design area's context menu. The
/// design area receives the Edit ones; the numbers are the register editor's own: do not renumber.
enum MenuId : int
{
    ID_FILE_NEW = 32772,
    ID_FILE_SAVE = 32774,
    ID_FILE_EXIT = 32777,
    ID_FILE_CHANGETOOLD = 32778,
    ID_FILE_OPEN = 32779,
    ID_EDIT_CUT = 32785,
    ID_EDIT_COPY = 32786,
    ID_EDIT_PASTE = 32787,
    ID_EDIT_UNDO = 0xE12B,
    ID_EDIT_REDO = 0xE12C,
    // Our own additions: lining up several selected objects.
    ID_ARRANGE_SELECT_ALL = 33100,
    /// ID_ARRANGE_FIRST + int(QXPanArrange::Op) for each operation, in the Op's order.
    ID_ARRANGE_FIRST = 33110,
    ID_ARRANGE_LAST = ID_ARRANGE_FIRST + 10,
    ID_ARRANGE_GRID = 33130,
    /// ID_ARRANGE_GRID_8 + k: a grid of 8 << k register pixels.
    ID_ARRANGE_GRID_8 = 33131,
    ID_ARRANGE_GRID_32 = ID_ARRANGE_GRID_8 + 2,
    ID_ARRANGE_GRID_TYPED = 33134,
    ID_ARRANGE_FILL = 33140,
};
