#pragma once

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"
#include "document/QXPanTypes.h"
#include "objdlg/CQXPanRefItem.h"
#include "refdata/CQXPanRefFolders.h"

#include <QDialog>
#include <QList>
#include <QString>

class CQXPanApp;
class CQXPanMainDlg;
class CQXPanSelRect;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class UserInteraction;

/// The "Object Properties" dialog, in which one key or table object is edited, and the home of
/// the editor's shared item-selection state: the five reference lists, the current object type,
/// the selected row per type pair, the interaction mode and the two clipboard slots.
class CQXPanObjDlg : public QDialog
{
    Q_OBJECT

public:
    /// Object types. Their numbers are stored in the object type box and derived from records:
    /// do not renumber.
    enum ObjType : int
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
    static constexpr int kTypeCount = 8;

    /// Interaction modes kept in m_nMode, shared by the main dialog and the design area.
    enum InteractionMode : int
    {
        ModeReleasedOutside = 0,
        ModeRefill = 1,
        ModeImageTypeSwitch = 2,
        ModeDragging = 3,
        ModeIdle = 4,
        ModeButtonDown = 5,
    };

    /// Dialog results as DoModal returns them.
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    /// Position limits: an object is at least this many register pixels wide and high.
    static constexpr int kMinObjectSize = 30;
    /// Table numbers are six packed decimal digits, 0 meaning none.
    static constexpr int kMaxTableNo = 999999;

    explicit CQXPanObjDlg(QWidget* parent = nullptr);
    ~CQXPanObjDlg() override;

    /// Hands over what the application object provides: the branch folders the reference lists
    /// are read from, the message and colour dialogs and the register screen rectangle.
    void SetApplication(const CQXPanRefFolders& folders, UserInteraction* pUi,
                        const QXPanRect& rcScreen = kQXPanScreenRect);
    /// The same from the application object: its branch folders, its user interaction and its
    /// register screen rectangle.
    void SetApplication(const CQXPanApp& app);
    /// Builds the header rows and the table row, reads the system keys and free functions, lists
    /// both bitmap folders and empties the clipboard slots. 0 (and nothing loaded) when
    /// SetApplication has not been called, else 1.
    int LoadReferenceData(CQXPanMainDlg* pMainDlg);
    /// Rebuilds the background list when which < 1, the placed-bitmap list when which is -1 or 1.
    void ListBitmaps(int which);
    /// Cuts the chosen bitmap lists back to their header rows (releasing their images), then
    /// ListBitmaps(which).
    void RefreshBitmapLists(int which);

    /// The reference list of an object type (0..7), or null for another value.
    CQXPanRefList* ListOfType(int type);
    /// The display name of an object type, empty for another value.
    QString TypeName(int type) const;
    /// Object type of a key or table record: table, free function or system key by type code
    /// and number, rectangle or round by shape byte.
    static int ObjectTypeOf(const CQXPanKeyObj& key);
    /// Black for a colour whose channel mean is above 127, else white: readable text on it.
    static QXPanColor ContrastColour(QXPanColor colour);

    /// Takes over the key or table object to be edited (not owned) and selects its reference
    /// row: the current object type becomes its type. A key of the design's list is held by its
    /// index, so the list may grow or shrink while it is edited.
    void SetEditObject(CQXPanKeyObj* pKey);
    /// The design's key list (not owned), whose keys SetEditObject holds by index; null for none.
    void SetKeyObjects(QList<CQXPanKeyObj>* pKeyObjs);
    /// The design removed key index from its list: the edited key is dropped when it was that
    /// one and keeps its place in the list when an earlier one went.
    void KeyObjRemoved(qsizetype index);
    /// The key or table being edited, found anew in the design's list; null when none was set
    /// or it has been removed.
    CQXPanKeyObj* EditObject();
    /// Index of the edited key in the design's list, -1 when it is not one of them.
    qsizetype EditIndex() const;
    /// Remembers a data row of the current type's list.
    void SelectRow(int row);
    /// Takes over a placed bitmap selected on the design area: selects its row and makes
    /// "Place Bitmap" the current object type.
    void SelectBitmapObject(const CQXPanBmpObj& bitmap);
    /// Gives a key the function, texts and colours of the selected row of the current type.
    void ApplyItemToKey(CQXPanKeyObj& key);
    /// Gives a placed bitmap the image and file name of the selected placed-bitmap row, loading
    /// the image on first use; 1 on success, 0 without a valid row or loadable file.
    int ApplyItemToBitmap(CQXPanBmpObj& bitmap);

    /// Copies a key into the key slot.
    void CopyKeyToClipboard(const CQXPanKeyObj& key);
    /// Copies a placed bitmap into the bitmap slot and empties the key slot.
    void CopyBmpToClipboard(const CQXPanBmpObj& bitmap);
    /// Fills a placed bitmap from the bitmap slot.
    void PasteBmpFromClipboard(CQXPanBmpObj& bitmap) const;
    /// True while the key slot holds a key (its shape byte is not 0).
    bool HasKeyInClipboard() const;

    /// Fills the controls from the edited object and the current type; DoModal calls it first.
    void OnInitDialog();
    /// Runs the dialog modally: kIdOk after Accept, kIdCancel after Cancel or Escape.
    int DoModal();

    /// Pressing Escape or closing the window cancels.
    void reject() override;
    /// Ends the dialog without checking the field that loses its focus on the way.
    void done(int result) override;

    CQXPanSelRect* m_Preview = nullptr; ///< 1001: the two colour swatches
    QComboBox* m_cbType = nullptr;      ///< 1005: object type, item data the type
    QComboBox* m_cbRecordNo = nullptr;  ///< 1009: record number
    QComboBox* m_cbFunction = nullptr;  ///< 1008: function code
    QComboBox* m_cbRegDesc = nullptr;   ///< 1007: register description
    QLineEdit* m_edLine2 = nullptr;     ///< 1011: second text line
    QLineEdit* m_edLine1 = nullptr;     ///< 1012: description or table name

    CQXPanRefList m_BgList;
    CQXPanRefList m_BmpList;
    CQXPanRefList m_TableList;
    CQXPanRefList m_SysKeyList;
    CQXPanRefList m_FreeFuncList;

    QString m_pszTypeName[kTypeCount];
    CQXPanMainDlg* m_pMainDlg = nullptr;
    int m_nObjType = TypeBackground;
    CQXPanBmpObj m_BmpClip; ///< bitmap slot: holds a bitmap while m_pImage is set
    CQXPanKeyObj m_KeyClip; ///< key slot: holds a key while its shape byte is not 0
    /// The edited key when it is not in the design's list (not owned); read it through
    /// EditObject(), which also finds a key of the list.
    CQXPanKeyObj* m_pEditObj = nullptr;
    /// 0 released outside the design area, 1 item list refill, 2 image type switch, 3 row
    /// dragged, 4 idle, 5 button down on the design area.
    int m_nMode = 0;
    int m_nSel[4] = {-1, -1, -1, -1}; ///< selected row per type pair; 0 or less: none
    int m_nTableNo = 0;

    // Controls without a member of their own in the original layout, reachable for tests.
    QLineEdit* m_edLeft = nullptr;       ///< 1000: X1
    QLineEdit* m_edTop = nullptr;        ///< 1002: Y1
    QLineEdit* m_edRight = nullptr;      ///< 1003: X2
    QLineEdit* m_edBottom = nullptr;     ///< 1004: Y2
    QLabel* m_stWidth = nullptr;         ///< 1030: X2 - X1
    QLabel* m_stHeight = nullptr;        ///< 1031: Y2 - Y1
    QLineEdit* m_edTableNo = nullptr;    ///< 1010: table number
    QLabel* m_lbTableNo = nullptr;       ///< 1013
    QLabel* m_lbLine1 = nullptr;         ///< 1015
    QLabel* m_lbLine2 = nullptr;         ///< 1016
    QLabel* m_lbRecordNo = nullptr;      ///< 1017
    QLabel* m_lbFunction = nullptr;      ///< 1018
    QLabel* m_lbRegDesc = nullptr;       ///< 1019
    QPushButton* m_btnOk = nullptr;      ///< 1029
    QPushButton* m_btnCancel = nullptr;  ///< 2
    QPushButton* m_btnDefault = nullptr; ///< 1: hidden default, so Enter closes nothing

signals:
    /// SetEditObject asks the main dialog to show an object type in its "Object Type" box;
    /// refill is set when the item list must be refilled (the type pair changed).
    void ObjectTypeShown(int type, bool refill);
    /// SetEditObject asks the main dialog to select a position of its item list.
    void ItemPositionShown(int position);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void BuildControls();
    /// Lays the controls out for the chosen type; bFromRecord fills them from the edited record
    /// (on opening), else the texts, colours and number typed so far stay.
    void ApplyTypeLayout(bool bFromRecord);
    void CheckPosition(bool horizontal);
    void CheckTableNumber();
    /// Reads edit 1010 into m_nTableNo; false (after telling the user) when it is not a number
    /// or out of range. An out-of-range number is still stored, as typed.
    bool PullTableNumber();
    void PushTableNumber();
    void OnLinkedSelection(QComboBox* pChanged, int index);
    void SetSwatch(int part, QXPanColor colour);
    void ChooseSwatchColour(int part);
    void OnAccept();
    void ResetHeaderRows();
    CQXPanRefList* ListOfPair(int pair);

    CQXPanRefFolders m_folders;
    bool m_bHasApp = false;
    UserInteraction* m_pUi = nullptr;
    QXPanRect m_rcScreen = kQXPanScreenRect;
    QGroupBox* m_gbPosition = nullptr;
    // A pointer into the list would dangle once an append moves its storage.
    QList<CQXPanKeyObj>* m_pKeyObjs = nullptr;
    qsizetype m_nEditIndex = -1;
    bool m_bPushingTableNo = false;
    bool m_bClosing = false;
};
