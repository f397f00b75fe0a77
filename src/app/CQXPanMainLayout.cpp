// The main dialog's controls and their layout in dialog units of its font.
#include "app/CQXPanMainDlg.h"

#include "app/CQXPanItemList.h"
#include "app/CQXPanMainDlgParts.h"
#include "app/CQXPanPreviewDlg.h"
#include "app/CQXPanWindowPlacement.h"
#include "canvas/CQXPanPositionReadout.h"
#include "document/CQXPanUndoCommands.h"
#include "image/CDibImage.h"
#include "library/CQXPgco.h"
#include "refdata/CQXPanRefLists.h"
#include "reglib/QxCtrlTypes.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

using namespace MainDlgParts;

void CQXPanMainDlg::CreateControls()
{
    const auto place = [this](QWidget* widget, int id, QRect dlu, Grow grow = Grow::None) {
        m_layout.append(Placed{widget, dlu, grow});
        if (id != -1) {
            widget->setObjectName(QString::number(id));
            m_controls.insert(id, widget);
        }
    };
    const auto label = [&](int id, const char* text, QRect dlu, Grow grow = Grow::None) {
        auto* widget = new QLabel(QString::fromLatin1(text), m_client);
        place(widget, id, dlu, grow);
        return widget;
    };
    const auto button = [&](int id, const char* text, QRect dlu, Grow grow = Grow::None) {
        auto* widget = new QPushButton(QString::fromLatin1(text), m_client);
        place(widget, id, dlu, grow);
        return widget;
    };
    const auto groupBox = [&](const char* text, QRect dlu) {
        auto* widget = new QGroupBox(QString::fromLatin1(text), m_client);
        place(widget, -1, dlu, Grow::Width);
        // The frame runs through the middle of the title, so the controls inside can start
        // right below it as laid out.
        widget->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
            "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
            " left: 6px; padding: 0px 2px; }"));
        // Group boxes only frame their neighbours; keep them under them for the mouse.
        widget->lower();
    };

    // In the order of the dialog template, which is also the tab order.
    QLabel* imageTypeLabel = label(-1, "Image Type(&I)", {16, 12, 47, 8});
    m_cbImageType = new QComboBox(m_client);
    place(m_cbImageType, IDC_IMAGETYPE, {10, 21, 117, 50}, Grow::Width);
    m_cbImageType->setFixedHeight(kComboHeight);
    imageTypeLabel->setBuddy(m_cbImageType);
    QPushButton* convert = button(IDC_CONVERT, "Convert(&C)", {10, 35, 117, 14}, Grow::Width);
    connect(convert, &QPushButton::clicked, this, &CQXPanMainDlg::OnConvert);
    QPushButton* receiveSend =
        button(IDC_RECEIVESEND, "Receive/Send(&S)", {10, 50, 117, 14}, Grow::Width);
    receiveSend->setEnabled(false);
    receiveSend->setVisible(false);
    QPushButton* newButton = button(IDC_NEW, "New(&N)", {10, 65, 117, 14}, Grow::Width);
    connect(newButton, &QPushButton::clicked, this, &CQXPanMainDlg::OnNew);
    groupBox("Execute Mode", {4, 2, 129, 83});

    QLabel* objectTypeLabel = label(-1, "Object Type(&O)", {15, 98, 51, 8});
    m_cbObjectType = new QComboBox(m_client);
    place(m_cbObjectType, IDC_OBJECTTYPE, {10, 107, 117, 87}, Grow::Width);
    m_cbObjectType->setFixedHeight(kImageComboHeight);
    m_cbObjectType->setIconSize(QSize(kObjectTypeIconSize, kObjectTypeIconSize));
    objectTypeLabel->setBuddy(m_cbObjectType);
    button(IDC_BROWSE, "Browse(&B)", {10, 131, 58, 14}, Grow::LeftHalf)->setEnabled(false);
    button(IDC_EDIT, "Edit(&P)", {68, 131, 58, 14}, Grow::RightHalf)->setEnabled(false);
    m_lcItems = new CQXPanItemList(m_client);
    place(m_lcItems, IDC_ITEMLIST, {10, 153, 117, 188}, Grow::Width);
    connect(m_cbImageType, &QComboBox::activated, this, [this] { OnImageTypeChange(); });
    connect(m_cbObjectType, &QComboBox::activated, this, [this] { OnObjectTypeChange(); });
    connect(m_lcItems, &CQXPanItemList::ItemChosen, this, &CQXPanMainDlg::OnItemSelected);
    connect(m_lcItems, &CQXPanItemList::DragStarted, this, &CQXPanMainDlg::OnBeginDrag);
    groupBox("Select Item", {4, 88, 129, 259});

    QPushButton* exitButton = button(IDCANCEL, "Exit(&X)", {4, 370, 50, 16});
    connect(exitButton, &QPushButton::clicked, this, &CQXPanMainDlg::reject);
    label(IDC_DESIGNAREA_LABEL, "Design Area", {139, 7, 40, 8}, Grow::Shift);
    QPushButton* deleteButton = button(IDC_DELETE, "Delete(&D)", {184, 2, 50, 14}, Grow::Shift);
    connect(deleteButton, &QPushButton::clicked, this,
            [this] { m_DesignDlg.EditCommand(CQXPanDesignDlg::kKeyDelete, 0); });
    // Beside "Delete", ending above the design area: out of the way of the template's controls.
    QPushButton* preview = button(IDC_PREVIEW, "Preview", {240, 2, 50, 13}, Grow::Shift);
    preview->setToolTip(QStringLiteral("Register preview (Ctrl+R)"));
    connect(preview, &QPushButton::clicked, this, &CQXPanMainDlg::OnPreview);
    auto* previewKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(previewKey, &QShortcut::activated, this, &CQXPanMainDlg::OnPreview);
    QPushButton* ok = button(IDOK, "OK", {619, 370, 50, 16}, Grow::Shift);
    ok->setDefault(true);
    ok->setEnabled(false);
    ok->setVisible(false);

    m_readout = new CQXPanPositionReadout(m_client);
    m_controls.insert(IDC_POSITION, m_readout);
    LayoutControls();
}

int CQXPanMainDlg::LeftColumnWidth() const
{
    // The object type box as wide as its longest name beside the picture.
    QComboBox probe;
    probe.setFont(m_cbObjectType->font());
    probe.setIconSize(m_cbObjectType->iconSize());
    probe.setSizeAdjustPolicy(QComboBox::AdjustToContents);
    QPixmap picture(m_cbObjectType->iconSize());
    picture.fill(Qt::white);
    for (int type = 0; type < QXPanObj::kTypeCount; ++type)
        probe.addItem(QIcon(picture), m_ObjDlg.TypeName(type));
    int width = probe.sizeHint().width();

    // The item list as wide as the columns of its widest list beside the vertical scroll bar.
    const DialogUnits du(m_lcItems->font());
    const CQXPanRefLists headers{CQXPanRefFolders{}};
    for (const QList<CQXPanRefRow>* list :
         {&headers.m_BgList, &headers.m_BmpList, &headers.m_TableList, &headers.m_SysKeyList,
          &headers.m_FreeFuncList}) {
        if (list->isEmpty())
            continue;
        const CQXPanRefRow& header = list->constFirst();
        const int columns = FirstColumnWidth(du, header.m_strCol1) +
                            OtherColumnWidth(du, header.m_strCol2) +
                            OtherColumnWidth(du, header.m_strCol3);
        const int scrollBar =
            m_lcItems->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_lcItems);
        width = std::max(width, columns + scrollBar + 2 * m_lcItems->frameWidth());
    }
    return width;
}

void CQXPanMainDlg::LayoutControls()
{
    const DialogUnits du(font());
    // Measured as the column's boxes are placed (x 10 to 127): each edge is rounded on its own.
    const int extra =
        std::max(0, LeftColumnWidth() - (du.X(kLeftColumnX + kLeftColumnDlu) - du.X(kLeftColumnX)));
    QRect exitRect;
    for (const Placed& placed : std::as_const(m_layout)) {
        QRect r = du.Rect(placed.dlu.x(), placed.dlu.y(), placed.dlu.width(), placed.dlu.height());
        switch (placed.grow) {
        case Grow::None:
            break;
        case Grow::Width:
            r.setWidth(r.width() + extra);
            break;
        case Grow::LeftHalf:
            r.setWidth(r.width() + extra / 2);
            break;
        case Grow::RightHalf:
            r.translate(extra / 2, 0);
            r.setWidth(r.width() + extra - extra / 2);
            break;
        case Grow::Shift:
            r.translate(extra, 0);
            break;
        }
        // Texts are never cut: a label or button grows to the right for its text.
        if (qobject_cast<QLabel*>(placed.widget) || qobject_cast<QPushButton*>(placed.widget))
            r.setWidth(std::max(r.width(), placed.widget->sizeHint().width()));
        placed.widget->setGeometry(r);
        if (placed.widget == GetDlgItem(IDCANCEL))
            exitRect = r;
    }

    // The design area lies right under its label: Windows rectangles end one past their last
    // pixel. It keeps its size in pixels whatever the font.
    const QWidget* anchor = GetDlgItem(IDC_DESIGNAREA_LABEL);
    const QxRect& design = m_pApp ? m_pApp->m_rcDesign : QxRect{0, 0, 800, 600};
    const QRect area(anchor->x() - 1, anchor->y() + anchor->height() + 1,
                     design.right - design.left + 1, design.bottom - design.top + 1);
    if (m_DesignDlg.parent() == m_client)
        m_DesignDlg.setGeometry(area);
    const QRect readout(area.left(), area.bottom() + 2, area.width(),
                        std::max(kReadoutHeight, m_readout->sizeHint().height()));
    m_readout->setGeometry(readout);

    const int width = std::max({du.X(kDialogWidthDlu) + extra, area.right() + 1 + du.X(4)});
    const int height = std::max({du.Y(kDialogHeightDlu + kReadoutRoomDlu),
                                 readout.bottom() + 1 + du.Y(4), exitRect.bottom() + 1 + du.Y(3)});
    m_client->setFixedSize(width, height);
}
