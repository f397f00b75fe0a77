#pragma once

#include "refdata/CQXPanItemState.h"
#include "refdata/CQXPanRefItem.h"

#include <QDialog>
#include <QList>
#include <QString>

class CQXPanMainDlg;
class CQXPanSelRect;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMouseEvent;
class QPushButton;
class UserInteraction;

/// The "Object Properties" dialog, in which one key or table object is edited. It is the home of
/// the editor's shared item-selection state (CQXPanItemState), which the design area and the
/// item list work on.
class CQXPanObjDlg : public QDialog, public CQXPanItemState
{
    Q_OBJECT

public:
    /// Position limits: an object is at least this many register pixels wide and high.
    static constexpr int kMinObjectSize = 30;
    /// Table numbers are six packed decimal digits, 0 meaning none.
    static constexpr int kMaxTableNo = 999999;

    explicit CQXPanObjDlg(QWidget* parent = nullptr);
    ~CQXPanObjDlg() override;

    /// Hands over what the application provides: the branch folders the reference lists are
    /// read from, the message and colour dialogs and the register screen rectangle.
    void SetApplication(const CQXPanRefFolders& folders, UserInteraction* pUi,
                        const QXPanRect& rcScreen = kQXPanScreenRect);
    /// Loads the reference lists (CQXPanItemState::LoadReferenceData) for the main dialog, which
    /// then shows the object types and rows the design area selects. 0 (and nothing loaded)
    /// when SetApplication has not been called, else 1.
    int LoadReferenceData(CQXPanMainDlg* pMainDlg);

    /// Fills the controls from the edited object and the current type; DoModal calls it first.
    void OnInitDialog();
    /// Runs the dialog modally: kIdOk after Accept, kIdCancel after Cancel or Escape.
    int DoModal() override;

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

    CQXPanMainDlg* m_pMainDlg = nullptr;
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
    void ShowObjectType(int type, bool refill) override;
    void ShowItemPosition(int position) override;
    bool HasMainDialog() const override { return m_pMainDlg != nullptr; }

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

    UserInteraction* m_pUi = nullptr;
    QXPanRect m_rcScreen = kQXPanScreenRect;
    QGroupBox* m_gbPosition = nullptr;
    bool m_bPushingTableNo = false;
    bool m_bClosing = false;
};
