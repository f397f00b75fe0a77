#pragma once

#include "app/CQXPanItemList.h"
#include "canvas/CQXPanDesignDlg.h"
#include "document/CQXPanKeyObj.h"
#include "fileio/FileResult.h"
#include "objdlg/CQXPanObjDlg.h"
#include "uikit/MenuIds.h"

#include <QCursor>
#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QRect>

class CQXPanApp;
class CQXPanPositionReadout;
class CQXPanWindowPlacement;
class CQXPanPreviewDlg;
class CQXPgco;
class QComboBox;
class QMenuBar;
class QScrollArea;
class QTreeWidget;
class QTreeWidgetItem;
struct QxRect;

/// The main dialog: image type, object type, item list, design area, menu; ends the run.
class CQXPanMainDlg : public QDialog
{
    Q_OBJECT

public:
    /// Control identifiers of the main dialog; other windows refer to them: do not renumber.
    enum ControlId : int
    {
        IDOK = 1,
        IDCANCEL = 2,
        IDC_DESIGNAREA_LABEL = 1002,
        IDC_IMAGETYPE = 1020,
        IDC_CONVERT = 1021,
        IDC_RECEIVESEND = 1022,
        IDC_NEW = 1023,
        IDC_EDIT = 1024,
        IDC_BROWSE = 1025,
        IDC_OBJECTTYPE = 1027,
        IDC_ITEMLIST = 1028,
        IDC_DELETE = 1032,
        // The editor's own additions.
        IDC_PREVIEW = 1040,
        IDC_POSITION = 1041
    };
    /// Builds every control and the menu; nothing is filled until OnInitDialog.
    explicit CQXPanMainDlg(CQXPanApp* app, QWidget* parent = nullptr);
    ~CQXPanMainDlg() override;

    /// Initialises the dialog and runs it modally unless initialisation already ended it;
    /// returns the dialog's result.
    int DoModal();
    /// Start-up of the dialog: environment, placement, caption, image types, item list, design
    /// area. False when it stops early.
    bool OnInitDialog();
    /// Ends the dialog with a result, also while it is still being initialised.
    void EndDialog(int result);

    /// Exit, Esc, the close box, menu Exit: offers to save, remembers the window, ends. A save
    /// the user asked for that was cancelled or failed keeps the editor open.
    void OnExitEditor();
    /// Menu "Change to old": asks for the older editor on the next start, then exits.
    void OnChangeToOld();
    /// Asks for a file name and saves the design as a panel file; false when cancelled or failed.
    bool OnSave();
    /// Asks for a panel file and reads it into the design in place of the current one.
    void OnOpen();
    /// Reads a panel file into the design for the selected image type: 0 when read (also when
    /// reading stopped early), -1 when it cannot be opened or is not a panel file.
    int ReadPanelFile(const QString& path);
    /// Offers to save, then empties the design and shows the first background bitmap.
    void OnNew();
    /// Writes the design as the register's screen program file and bitmap table file.
    void OnConvert();
    /// "Preview" and Ctrl+R: builds the register preview of the design and shows it in the
    /// preview window, opened or brought up to date.
    void OnPreview();
    /// The preview window once it has been opened, else null.
    CQXPanPreviewDlg* PreviewDlg() const { return m_previewDlg; }
    /// Dispatches a menu command by its identifier.
    void OnCommand(int id);

    /// Rebuilds the object type box for image type T: background and placed bitmap for every
    /// screen, tables and keys for the check windows (797 and up).
    void FillObjectTypeCombo(int T);
    /// Selection change of the image type box: clears the design (after asking when it is
    /// modified), loads the window's keys and tables and its first background.
    void OnImageTypeChange();
    /// Reads FILE795P.TXT of the program folder into m_arrBitmapTable (240 records), telling
    /// the user when the file is wrong.
    void ReadBitmapTableFile();
    /// Refills the item list from the list of the chosen object type; with bOnlyWhenChanged
    /// only when that type differs from the current one.
    void FillItemList(bool bOnlyWhenChanged);
    /// Selection change of the object type box: refills the item list and selects a row.
    void OnObjectTypeChange();
    /// A row of the item list has just been selected (list position nPos).
    void OnItemSelected(int nPos);
    /// A row of the item list is being dragged (list position nPos).
    void OnBeginDrag(int nPos);
    /// Selects a position of the item list (none for -1), as a click on it would.
    void SelectListPosition(int nPos);
    /// Selects a list position without loading its background again: the picture shows already.
    void ShowListPositionQuietly(int nPos);
    /// The item list's row at a position, null when there is none.
    QTreeWidgetItem* ItemAt(int nPos) const;
    /// Loads the background bitmap at path: 0 on success and for type "Place Bitmap", -1 for
    /// the key and table types, -2 ("open err") when the file cannot be loaded.
    int LoadBackgroundBitmap(const QString& path);
    /// Imports register screen file FILE<nFileNo>P.TXT as the background; the ScreenImportResult
    /// of src/formats' ImportScreenFile.
    int ImportScreenFile(int nFileNo);
    /// Shows what a failed file operation tells the user ("open err", "broken header", ...) in
    /// a box; nothing when it succeeded or has nothing to say.
    void ShowFileResult(const FileResult& result);

    /// Button 1025: copies chosen bitmap files into the folder of the shown bitmap type, then
    /// brings the lists and the design up to date.
    void OnBrowse();
    /// Button 1024: opens the selected bitmap in the bitmap editor (or the desktop's program
    /// for it), waits until that ends, then brings the lists and the design up to date.
    void OnEdit();
    /// Rebuilds the list of the shown bitmap type from its folder; placed bitmaps are rebuilt
    /// from their files (gone or unreadable ones dropped), the background is reloaded.
    void RefreshAfterBitmapChange();
    /// Button 1022: sends the screen file of the chosen image type to the register when it is
    /// in the program folder, else receives it, through the communication dialog.
    void OnReceiveSend();

    /// The control with a dialog identifier (GetDlgItem), null when there is none.
    QWidget* GetDlgItem(int id) const;
    /// The area below the menu bar in which the controls lie (the dialog's client area); it
    /// scrolls when the window is smaller than it.
    QWidget* ClientArea() const { return m_client; }
    /// The scrolled view of the client area.
    QScrollArea* ClientView() const { return m_scroll; }
    /// True once start-up has loaded the branch and an image type is chosen: only then are
    /// there a design and register files to work on.
    bool HasScreen() const;

    QIcon m_hIcon;
    CQXPanDesignDlg m_DesignDlg;
    QList<CQXPanKeyObj> m_arrBitmapTable;
    CQXPanObjDlg m_ObjDlg;
    QComboBox* m_cbImageType = nullptr;
    QComboBox* m_cbObjectType = nullptr;
    CQXPanItemList* m_lcItems = nullptr;
    QList<QIcon> m_ilObjectTypes;
    CQXPanApp* m_pApp = nullptr;
    int m_nListSel = -1;
    int m_nImageTypeSel = 0;
    QCursor m_hDragCursor;

public slots:
    /// Enter (command 1) does nothing.
    void accept() override;
    /// Esc and the close box run OnExitEditor.
    void reject() override;

protected:
    /// Runs the prepared communication dialog modally; tests override it to look at the
    /// dialog's members instead.
    virtual int RunCommDialog(CQXPgco& dlg);
    /// Drops the design's selection on a left press in the dialog (not on "Delete") and starts
    /// row drags in the item list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// How a control of the left column's width, or right of it, follows a wider left column.
    enum class Grow
    {
        None,      ///< stays as laid out
        Width,     ///< spans the column: grows by the extra width
        LeftHalf,  ///< the left one of two side by side: grows by half
        RightHalf, ///< the right one of two: moves by half and grows by the rest
        Shift,     ///< right of the column: moves by the extra width
    };
    struct Placed
    {
        QWidget* widget = nullptr;
        QRect dlu; ///< position and size in dialog units
        Grow grow = Grow::None;
    };

    void CreateControls();
    void ConnectBitmapLibrary();
    void CreateMenu();
    /// The Arrange menu (CQXPanMainArrange.cpp): selecting, lining up, the grid, filling.
    void CreateArrangeMenu();
    /// The Arrange menu's commands; other identifiers are ignored.
    void OnArrangeCommand(int id);
    /// Shows the grid as the configuration store remembers it.
    void LoadGridSettings();
    /// Shows the grid as chosen and ticks its menu items.
    void SetGrid(bool bShown, int nSpacing);
    /// SetGrid, and remembers the choice in the store.
    void ChooseGrid(bool bShown, int nSpacing);
    /// Places every control from its dialog units in the dialog font, the left column as wide
    /// as its widest content needs, the design area under its label, and sizes the client area.
    void LayoutControls();
    /// Pixels the left column needs: the longest object type name beside its picture, and the
    /// widest item list's columns beside a scroll bar.
    int LeftColumnWidth() const;
    /// Enables the commands that work on a design and the register files.
    void EnableScreenCommands(bool bEnable);
    /// Tells the user in the line under the design area why nothing happened.
    void ShowRefusal(const QString& text);
    /// Builds m_ilObjectTypes from the object type strip; false when the strip is missing.
    bool LoadObjectTypeImages();
    /// Selects the first item-list position whose background row is FILE<T>P.TXT or a bitmap,
    /// loading it even when it was selected already.
    void SelectFirstBackground(int T);
    /// Inserts FILE<n>P.TXT into the background list after the last smaller screen file listed,
    /// keeping the remembered background row on the same file.
    void ListScreenFile(int n);
    /// Undo or redo put a background row back: remember it and show it without reloading.
    void OnBackgroundRowRestored(int nListSel);

    CQXPanApp* m_appForInit = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_client = nullptr;
    QMenuBar* m_menuBar = nullptr;
    QHash<int, QWidget*> m_controls;
    QList<Placed> m_layout;
    QList<QAction*> m_screenActions;
    QHash<int, QAction*> m_gridActions; ///< the grid's checkable items by identifier
    CQXPanWindowPlacement* m_placement = nullptr;
    bool m_ended = false;
    int m_endResult = 0;
    bool m_bInitialised = false;
    CQXPanPositionReadout* m_readout = nullptr;
    CQXPanPreviewDlg* m_previewDlg = nullptr;
};
