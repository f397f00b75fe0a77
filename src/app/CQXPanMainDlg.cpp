#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanPreviewDlg.h"
#include "app/CQXPanWindowPlacement.h"
#include "app/DesktopEntry.h"
#include "branch/BranchConvert.h"
#include "branch/BranchEnvironment.h"
#include "canvas/CQXPanPositionReadout.h"
#include "document/CQXPanUndoCommands.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"
#include "document/RegisterFiles.h"
#include "fileio/FileCopy.h"
#include "formats/BitmapTableFile.h"
#include "formats/FileMessage.h"
#include "formats/RegisterPreview.h"
#include "formats/ScreenFileImport.h"
#include "image/CDibImage.h"
#include "library/CQXPgco.h"
#include "refdata/BackgroundRow.h"
#include "refdata/CQXPanRefLists.h"
#include "reglib/CDefBaseInfo.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/QxCtrlTypes.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

// Size of the dialog's client area in dialog units, and the width of the left column's controls.
constexpr int kDialogWidthDlu = 677;
constexpr int kDialogHeightDlu = 389;
constexpr int kLeftColumnX = 10;
constexpr int kLeftColumnDlu = 117;
// The position readout under the design area needs this much more room at the bottom.
constexpr int kReadoutRoomDlu = 10;
constexpr int kReadoutHeight = 16;

constexpr int kMinTrackWidth = 600;
constexpr int kMinTrackHeight = 400;

// Heights of the closed combo boxes: the plain one as tall as its text line, the one with the
// object type pictures as tall as a 32-pixel picture.
constexpr int kComboHeight = 21;
constexpr int kImageComboHeight = 38;
constexpr int kObjectTypeIconSize = 32;
constexpr int kItemColumnCount = 3;
constexpr int kItemColumnWidth = 10;

constexpr quint32 kChangeToOld = CQXPanApp::kChangeToOld;

// The object type pictures: one strip of 17 pictures of 32 x 32 (bitmap 132).
constexpr int kObjectTypePictures = 17;
const QString kObjectTypeStrip = QStringLiteral(":/qxpan/objtypes.bmp");
// Drag cursor (134); its arrow tip, the hot spot, is the top-left pixel.
const QString kDragCursorPicture = QStringLiteral(":/qxpan/dragcursor.png");

// The first screen file: item i of the image type box is screen 796 + i.
constexpr int kFirstScreenFile = 796;
constexpr int kFirstCheckWindow = 797;
constexpr int kScreenFileCount = 4;

// Column widths of the item list from the header texts; 0 hides a column.
// Column widths grow with the dialog font, so that the texts fit at any font.
int FirstColumnWidth(const DialogUnits& du, const QString& caption)
{
    return caption.isEmpty() ? 0 : du.Pixels(8 * int(caption.size()) + 10);
}
int OtherColumnWidth(const DialogUnits& du, const QString& caption)
{
    return caption.isEmpty() ? 0 : du.Pixels(10 * (int(caption.size()) + 1));
}

UserInteraction::Icon ToBoxIcon(FileMessage::Icon icon)
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

QxRect Normalised(QxRect rc)
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

} // namespace

CQXPanMainDlg::CQXPanMainDlg(CQXPanApp* app, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_hIcon(DesktopEntry::AppIcon()), m_ObjDlg(this), m_appForInit(app)
{
    setWindowTitle(QStringLiteral("QX_LayeditV110"));

    // The layout is drawn for an 8-point dialog font; a larger desktop font would not fit.
    QFont dialogFont = font();
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);
    // A window made smaller than the controls scrolls, so that every control stays reachable.
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_client = new QWidget;
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_scroll->setWidget(m_client);
    layout->addWidget(m_scroll);
    m_placement = new CQXPanWindowPlacement(this);

    CreateMenu();
    CreateControls();
    ConnectBitmapLibrary();
    // Nothing to work on until start-up has loaded the branch.
    EnableScreenCommands(false);

    // A key or bitmap selected on the design area shows its type and row here.
    connect(&m_ObjDlg, &CQXPanObjDlg::ObjectTypeShown, this, [this](int type, bool refill) {
        m_cbObjectType->setCurrentIndex(type);
        if (refill)
            FillItemList(true);
    });
    // Sees every press first, as the dialog's message pre-translation did.
    qApp->installEventFilter(this);
    connect(&m_ObjDlg, &CQXPanObjDlg::ItemPositionShown, this,
            [this](int position) { SelectListPosition(position); });

    resize(m_client->size() + QSize(0, m_menuBar->sizeHint().height()));
    setMinimumSize(kMinTrackWidth, kMinTrackHeight);
}

CQXPanMainDlg::~CQXPanMainDlg() = default;

void CQXPanMainDlg::CreateMenu()
{
    struct Item
    {
        const char* text;
        int id; // 0: separator
    };
    const auto addMenu = [this](const char* title, std::initializer_list<Item> items) {
        QMenu* menu = m_menuBar->addMenu(QString::fromLatin1(title));
        for (const Item& item : items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromLatin1(item.text));
            action->setData(item.id);
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
            // Exit and "Change to old" work without a branch; the rest needs a design.
            if (id != ID_FILE_EXIT && id != ID_FILE_CHANGETOOLD && id != ID_EDIT_UNDO &&
                id != ID_EDIT_REDO)
                m_screenActions.append(action);
        }
    };
    addMenu("File(&F)", {{"New(&N)", ID_FILE_NEW},
                         {"Open(&O)", ID_FILE_OPEN},
                         {"Save(&S)", ID_FILE_SAVE},
                         {nullptr, 0},
                         {"Exit(&X)", ID_FILE_EXIT},
                         {"Change to old(&H)", ID_FILE_CHANGETOOLD}});
    addMenu("Edit(&E)", {{"Cut(&X)", ID_EDIT_CUT},
                         {"Copy(&C)", ID_EDIT_COPY},
                         {"Paste(&P)", ID_EDIT_PASTE},
                         {nullptr, 0},
                         {"Undo(&U)", ID_EDIT_UNDO},
                         {"Redo(&R)", ID_EDIT_REDO}});
    QMenu* edit = m_menuBar->actions().constLast()->menu();
    // The design area shows the same popup as its context menu.
    m_DesignDlg.SetEditMenu(edit);

    QAction* undo = edit->actions().at(edit->actions().size() - 2);
    QAction* redo = edit->actions().constLast();
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    const QUndoStack& history = m_DesignDlg.UndoStack();
    undo->setEnabled(history.canUndo());
    redo->setEnabled(history.canRedo());
    connect(&history, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&history, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&m_DesignDlg, &CQXPanDesignDlg::BackgroundRowRestored, this,
            &CQXPanMainDlg::OnBackgroundRowRestored);
}

void CQXPanMainDlg::OnBackgroundRowRestored(int nListSel)
{
    m_nListSel = nListSel;
    if (m_ObjDlg.m_nObjType != QXPanObj::TypeBackground)
        return;
    // The picture is back already: select the row without loading it again.
    ShowListPositionQuietly(nListSel);
    if (const QTreeWidgetItem* item = ItemAt(nListSel)) {
        const QString name = item->text(0);
        if (name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive))
            GetDlgItem(IDC_EDIT)->setEnabled(true);
        else if (name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
            GetDlgItem(IDC_EDIT)->setEnabled(false);
    }
}

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
    m_lcItems = new QTreeWidget(m_client);
    place(m_lcItems, IDC_ITEMLIST, {10, 153, 117, 188}, Grow::Width);
    m_lcItems->setRootIsDecorated(false);
    m_lcItems->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lcItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lcItems->setAllColumnsShowFocus(true);
    m_lcItems->setFrameShape(QFrame::Box);
    m_lcItems->setFrameShadow(QFrame::Plain);
    // Column widths come from the header texts; a width of 0 hides a column.
    m_lcItems->header()->setStretchLastSection(false);
    m_lcItems->header()->setMinimumSectionSize(0);
    m_lcItems->header()->setSectionsMovable(false);
    connect(m_cbImageType, &QComboBox::activated, this, [this] { OnImageTypeChange(); });
    connect(m_cbObjectType, &QComboBox::activated, this, [this] { OnObjectTypeChange(); });
    connect(m_lcItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                for (const QModelIndex& index : selected.indexes()) {
                    if (index.column() == 0 && !index.parent().isValid())
                        OnItemSelected(index.row());
                }
            });
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

void CQXPanMainDlg::EnableScreenCommands(bool bEnable)
{
    for (int id : {IDC_CONVERT, IDC_NEW, IDC_PREVIEW, IDC_DELETE})
        GetDlgItem(id)->setEnabled(bEnable);
    for (QAction* action : std::as_const(m_screenActions))
        action->setEnabled(bEnable);
}

bool CQXPanMainDlg::HasScreen() const
{
    const int index = m_cbImageType->currentIndex();
    return m_bInitialised && m_pApp && m_pApp->EnvironmentLoaded() && index >= 0 &&
           index < kScreenFileCount;
}

void CQXPanMainDlg::ShowRefusal(const QString& text)
{
    if (m_readout)
        m_readout->ShowNote(text);
}

QWidget* CQXPanMainDlg::GetDlgItem(int id) const
{
    return m_controls.value(id, nullptr);
}

int CQXPanMainDlg::DoModal()
{
    m_ended = false;
    OnInitDialog();
    if (m_ended)
        return m_endResult;
    return exec();
}

void CQXPanMainDlg::EndDialog(int result)
{
    m_ended = true;
    m_endResult = result;
    QDialog::done(result);
}

bool CQXPanMainDlg::OnInitDialog()
{
    setWindowIcon(m_hIcon);

    m_pApp = m_appForInit;
    if (!m_pApp)
        return false;
    if (!m_pApp->LoadBranchEnvironment())
        return false;

    if (m_pApp->m_dwChangeToOld == kChangeToOld) {
        EndDialog(static_cast<int>(kChangeToOld));
        return false;
    }

    m_hDragCursor = QCursor(QPixmap(kDragCursorPicture), 0, 0);
    // What a write killed half-way left behind in the branch.
    RemoveBranchLeftovers(m_pApp->Folders());

    QxRect& rc = m_pApp->m_ScrIFTab.rcWindow;
    if (rc.right - rc.left <= 0 || rc.bottom - rc.top <= 0) {
        // Nothing remembered: the window keeps its own size, where a new window appears.
        rc = m_placement->Current();
        move(rc.left, rc.top);
    } else {
        m_placement->Restore(rc);
    }
    update();

    setWindowTitle(
        QStringLiteral("Full Check Window - %1 (%2)").arg(m_pApp->m_strBranch, m_pApp->m_strECR));

    const QxRect& screen = m_pApp->m_rcScreen;
    m_ObjDlg.SetApplication(m_pApp->RefFolders(), m_pApp->Ui(),
                            QXPanRect{screen.left, screen.top, screen.right, screen.bottom});
    m_ObjDlg.LoadReferenceData(this);

    m_cbImageType->clear();
    for (const _ECRFile_Information& file : m_pApp->m_arrECRFiles)
        m_cbImageType->addItem(QStringLiteral("%1 - %2").arg(file.wFileNo).arg(file.strName));
    m_cbImageType->setCurrentIndex(0);
    m_nImageTypeSel = 0;

    // Without the pictures the object type box stays empty.
    if (LoadObjectTypeImages())
        FillObjectTypeCombo(kFirstScreenFile);

    m_lcItems->setColumnCount(kItemColumnCount);
    m_lcItems->setHeaderLabels(QStringList(kItemColumnCount, QString()));
    for (int column = 0; column < kItemColumnCount; ++column) {
        m_lcItems->headerItem()->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
        m_lcItems->setColumnWidth(column, DialogUnits(m_lcItems->font()).Pixels(kItemColumnWidth));
    }

    // A type no item has, so that the list is filled for the type shown.
    m_ObjDlg.m_nObjType = QXPanObj::kTypeCount;
    FillItemList(true);

    m_DesignDlg.setParent(m_client);
    LayoutControls();
    m_DesignDlg.OnInitDialog();
    m_DesignDlg.lower();
    m_DesignDlg.show();
    m_DesignDlg.SetObjDlg(&m_ObjDlg);
    m_readout->Attach(&m_DesignDlg);
    connect(&m_DesignDlg, &CQXPanDesignDlg::Refused, this, &CQXPanMainDlg::ShowRefusal);

    ReadBitmapTableFile();
    SelectFirstBackground(kFirstScreenFile);

    m_DesignDlg.m_bModified = false;
    m_DesignDlg.ClearHistory();
    m_DesignDlg.MarkSaved();
    m_bInitialised = true;
    EnableScreenCommands(true);
    return true;
}

bool CQXPanMainDlg::LoadObjectTypeImages()
{
    m_ilObjectTypes.clear();
    const QImage strip(kObjectTypeStrip);
    if (strip.isNull() || strip.width() < kObjectTypePictures * kObjectTypeIconSize ||
        strip.height() < kObjectTypeIconSize)
        return false;
    for (int i = 0; i < kObjectTypePictures; ++i) {
        const QImage picture =
            strip.copy(i * kObjectTypeIconSize, 0, kObjectTypeIconSize, kObjectTypeIconSize);
        m_ilObjectTypes.append(QIcon(QPixmap::fromImage(picture)));
    }
    return true;
}

void CQXPanMainDlg::FillObjectTypeCombo(int T)
{
    m_cbObjectType->clear();
    const int count = T < kFirstCheckWindow ? QXPanObj::TypeTableRect : QXPanObj::kTypeCount;
    for (int k = 0; k < count; ++k) {
        const QIcon icon = k < m_ilObjectTypes.size() ? m_ilObjectTypes[k] : QIcon();
        m_cbObjectType->addItem(icon, m_ObjDlg.TypeName(k), k);
        if (m_cbObjectType->count() != k + 1) {
            if (m_pApp && m_pApp->Ui())
                m_pApp->Ui()->MessageBox(QStringLiteral("ExCombo err"));
            return;
        }
    }
    m_cbObjectType->setCurrentIndex(0);
    // Only while the properties dialog is up does it follow the box at once.
    if (m_ObjDlg.isVisible())
        m_ObjDlg.m_nObjType = QXPanObj::TypeBackground;
}

void CQXPanMainDlg::OnImageTypeChange()
{
    if (!m_pApp || !m_bInitialised)
        return;
    if (m_DesignDlg.IsDesignModified()) {
        const int answer = m_pApp->Ui()
                               ? m_pApp->Ui()->MessageBox(QStringLiteral("Do you want to clear?"),
                                                          QString::fromLatin1(kAppName),
                                                          UserInteraction::MB_OKCANCEL)
                               : int(UserInteraction::IDCANCEL);
        if (answer != UserInteraction::IDOK) {
            m_cbImageType->setCurrentIndex(m_nImageTypeSel);
            return;
        }
    }

    const int previousMode = m_ObjDlg.m_nMode;
    m_ObjDlg.m_nMode = QXPanObj::ModeImageTypeSwitch;
    // The selected object belongs to the screen that goes.
    m_DesignDlg.Deselect();
    // Another screen's design: nothing before it can be taken back.
    m_DesignDlg.SuspendRecording();
    m_nImageTypeSel = m_cbImageType->currentIndex();
    const int T = kFirstScreenFile + m_nImageTypeSel;
    FillObjectTypeCombo(T);
    FillItemList(true);
    m_DesignDlg.ClearObjects(false);
    m_DesignDlg.LoadTableSlice(m_arrBitmapTable, T);
    SelectFirstBackground(T);
    m_DesignDlg.m_bModified = false;
    m_DesignDlg.ResumeRecording();
    m_DesignDlg.ClearHistory();
    m_DesignDlg.MarkSaved();
    m_DesignDlg.Redraw();
    m_ObjDlg.m_nMode = previousMode;
}

void CQXPanMainDlg::SelectFirstBackground(int T)
{
    const QString screenFile = RegisterFileName(T);
    const CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    for (int pos = 0; pos < m_lcItems->topLevelItemCount(); ++pos) {
        const size_t row = size_t(pos) + 1;
        if (row >= backgrounds.size())
            break;
        const QString& name = backgrounds[row].m_strCol1;
        if (name.compare(screenFile, Qt::CaseInsensitive) == 0 ||
            name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
            // Selected afresh: the row may be current while another screen's picture shows.
            m_lcItems->clearSelection();
            SelectListPosition(pos);
            return;
        }
    }
}

void CQXPanMainDlg::ReadBitmapTableFile()
{
    if (!m_pApp)
        return;
    BitmapTableFile::Read(m_pApp->m_strProgramFolder, m_arrBitmapTable,
                          [this](const FileMessage& message) { ShowFileMessage(message); });
}

void CQXPanMainDlg::ShowFileMessage(const FileMessage& message)
{
    if (!m_pApp || !m_pApp->Ui())
        return;
    m_pApp->Ui()->MessageBox(
        message.text, message.title.isEmpty() ? QString::fromLatin1(kAppName) : message.title,
        UserInteraction::MB_OK, ToBoxIcon(message.icon));
}

QTreeWidgetItem* CQXPanMainDlg::ItemAt(int nPos) const
{
    return nPos >= 0 && nPos < m_lcItems->topLevelItemCount() ? m_lcItems->topLevelItem(nPos)
                                                              : nullptr;
}

void CQXPanMainDlg::FillItemList(bool bOnlyWhenChanged)
{
    const int sel = m_cbObjectType->currentIndex();
    if (bOnlyWhenChanged && sel == m_ObjDlg.m_nObjType)
        return;

    const int previousMode = m_ObjDlg.m_nMode;
    m_ObjDlg.m_nMode = QXPanObj::ModeRefill;
    m_ObjDlg.m_nObjType = sel;

    m_lcItems->clear();
    const CQXPanRefList* list =
        sel >= 0 ? m_ObjDlg.ListOfType(m_cbObjectType->itemData(sel).toInt()) : nullptr;
    if (list && !list->empty()) {
        const CQXPanRefItem& header = list->front();
        m_lcItems->setHeaderLabels({header.m_strCol1, header.m_strCol2, header.m_strCol3});
        const DialogUnits du(m_lcItems->font());
        m_lcItems->setColumnWidth(0, FirstColumnWidth(du, header.m_strCol1));
        m_lcItems->setColumnWidth(1, OtherColumnWidth(du, header.m_strCol2));
        m_lcItems->setColumnWidth(2, OtherColumnWidth(du, header.m_strCol3));

        // Built from the last row to the first: position p shows row p + 1.
        QList<QTreeWidgetItem*> items;
        items.reserve(qsizetype(list->size()) - 1);
        for (size_t row = 1; row < list->size(); ++row) {
            const CQXPanRefItem& ref = (*list)[row];
            auto* item = new QTreeWidgetItem({ref.m_strCol1, ref.m_strCol2, ref.m_strCol3});
            item->setData(0, Qt::UserRole, int(row));
            items.append(item);
        }
        m_lcItems->addTopLevelItems(items);
    }

    const int type = m_ObjDlg.m_nObjType;
    m_lcItems->setEnabled(type != QXPanObj::TypeTableRect && type != QXPanObj::TypeTableRound);
    GetDlgItem(IDC_BROWSE)
        ->setEnabled(type == QXPanObj::TypeBackground || type == QXPanObj::TypePlaceBitmap);
    GetDlgItem(IDC_EDIT)->setEnabled(type == QXPanObj::TypePlaceBitmap);

    m_ObjDlg.m_nMode = previousMode;
}

void CQXPanMainDlg::OnObjectTypeChange()
{
    // The selected object is of the old type: Delete, Cut, Copy and the arrows would otherwise
    // act on an object of the new type's list with the same index.
    if (m_cbObjectType->currentIndex() != m_ObjDlg.m_nObjType)
        m_DesignDlg.Deselect();
    FillItemList(true);
    if (m_lcItems->topLevelItemCount() > 0) {
        SelectListPosition(m_ObjDlg.m_nObjType == QXPanObj::TypeBackground ? m_nListSel : 0);
    }
}

void CQXPanMainDlg::SelectListPosition(int nPos)
{
    QTreeWidgetItem* item = ItemAt(nPos);
    if (!item) {
        m_lcItems->clearSelection();
        return;
    }
    m_lcItems->setCurrentItem(item);
    m_lcItems->scrollToItem(item);
}

void CQXPanMainDlg::OnItemSelected(int nPos)
{
    if (m_ObjDlg.m_nMode == QXPanObj::ModeRefill)
        return;
    const QTreeWidgetItem* item = ItemAt(nPos);
    if (!item)
        return;
    const int row = item->data(0, Qt::UserRole).toInt();

    if (m_ObjDlg.m_nObjType != QXPanObj::TypeBackground) {
        m_ObjDlg.SelectRow(row);
        return;
    }

    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    if (row >= 1 && size_t(row) < m_ObjDlg.m_BgList.size() && m_pApp) {
        const QString name = m_ObjDlg.m_BgList[size_t(row)].m_strCol1;
        const BackgroundRowKind kind = BackgroundRowKindOf(name);
        if (kind != BackgroundRowKind::Other) {
            const WaitCursor wait;
            ShowOpenError(LoadBackgroundRow(
                name, m_pApp->RefFolders(), m_DesignDlg.m_Background,
                [this](const FileMessage& message) { ShowFileMessage(message); }));
            // Only a bitmap can be given to the bitmap editor.
            GetDlgItem(IDC_EDIT)->setEnabled(kind == BackgroundRowKind::Bitmap);
        }
    }
    m_nListSel = nPos;
    m_DesignDlg.OnItemListChanged();
    m_DesignDlg.EndDesignChange<CQXPanBackgroundCommand>(std::move(before), m_nListSel);
}

void CQXPanMainDlg::OnBeginDrag(int nPos)
{
    if (m_ObjDlg.m_nMode == QXPanObj::ModeRefill || m_ObjDlg.m_nObjType == QXPanObj::TypeBackground)
        return;
    const QTreeWidgetItem* item = ItemAt(nPos);
    if (!item)
        return;
    m_ObjDlg.SelectRow(item->data(0, Qt::UserRole).toInt());
    m_ObjDlg.m_nMode = QXPanObj::ModeDragging;
    // The design area takes the mouse; its release ends the drag.
    m_DesignDlg.grabMouse(m_hDragCursor);
}

bool CQXPanMainDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A left press anywhere in the dialog but on "Delete" first drops the design's selection.
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType() &&
        m_DesignDlg.m_SelRect.isVisible()) {
        auto* target = static_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // The menu bar and its menus act on the selection: Cut and Copy need it.
        const bool menu = qobject_cast<QMenuBar*>(target) || qobject_cast<QMenu*>(target);
        if (mouse->button() == Qt::LeftButton && isAncestorOf(target) && !menu &&
            target != GetDlgItem(IDC_DELETE))
            m_DesignDlg.Deselect();
    }
    if (watched == m_lcItems->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            m_dragPos = -1;
            if (mouse->button() == Qt::LeftButton) {
                if (QTreeWidgetItem* item = m_lcItems->itemAt(mouse->position().toPoint())) {
                    m_dragPos = m_lcItems->indexOfTopLevelItem(item);
                    m_dragStart = mouse->position().toPoint();
                }
            }
        } else if (event->type() == QEvent::MouseMove && m_dragPos >= 0) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if ((mouse->buttons() & Qt::LeftButton) &&
                (mouse->position().toPoint() - m_dragStart).manhattanLength() >=
                    QApplication::startDragDistance()) {
                const int pos = m_dragPos;
                m_dragPos = -1;
                OnBeginDrag(pos);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_dragPos = -1;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int CQXPanMainDlg::LoadBackgroundBitmap(const QString& path)
{
    if (m_ObjDlg.m_nObjType > QXPanObj::TypePlaceBitmap)
        return -1;
    if (m_ObjDlg.m_nObjType == QXPanObj::TypePlaceBitmap)
        return 0;
    const FileResult loaded = ::LoadBackgroundBitmap(path, m_DesignDlg.m_Background);
    ShowOpenError(loaded);
    return loaded ? 0 : -2;
}

void CQXPanMainDlg::ShowOpenError(const FileResult& loaded)
{
    if (!loaded && m_pApp && m_pApp->Ui())
        m_pApp->Ui()->MessageBox(loaded.reason);
}

int CQXPanMainDlg::ImportScreenFile(int nFileNo)
{
    if (!m_pApp)
        return ScreenImportRefused;
    const WaitCursor wait;
    return ::ImportScreenFile(nFileNo, m_ObjDlg.m_nObjType, m_DesignDlg.m_Background,
                              m_pApp->m_strProgramFolder, m_pApp->m_strBackgroundFolder,
                              [this](const FileMessage& message) { ShowFileMessage(message); });
}

void CQXPanMainDlg::OnCommand(int id)
{
    switch (id) {
    case ID_FILE_NEW:
        OnNew();
        break;
    case ID_FILE_OPEN:
        OnOpen();
        break;
    case ID_FILE_SAVE:
        OnSave();
        break;
    case ID_FILE_EXIT:
        OnExitEditor();
        break;
    case ID_FILE_CHANGETOOLD:
        OnChangeToOld();
        break;
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_PASTE:
        // From the menu bar a paste lands near the top-left corner.
        m_DesignDlg.m_ptPaste = QPoint(5, 5);
        m_DesignDlg.OnCommand(id);
        break;
    case ID_EDIT_UNDO:
        m_DesignDlg.Undo();
        break;
    case ID_EDIT_REDO:
        m_DesignDlg.Redo();
        break;
    default:
        break;
    }
}

void CQXPanMainDlg::accept()
{
    // Enter must not end the editor.
}

void CQXPanMainDlg::reject()
{
    OnExitEditor();
}

void CQXPanMainDlg::OnExitEditor()
{
    if (m_DesignDlg.IsDesignModified() && m_pApp && m_pApp->Ui()) {
        const int answer = m_pApp->Ui()->MessageBox(
            QStringLiteral("Would you like to save the data?"), QString::fromLatin1(kAppName),
            UserInteraction::MB_YESNO, UserInteraction::MB_ICONEXCLAMATION);
        // The user wants the work kept: without a saved file the editor stays open.
        if (answer == UserInteraction::IDYES && !OnSave())
            return;
    }

    if (m_pApp) {
        if (!isMinimized())
            m_pApp->m_ScrIFTab.rcWindow = m_placement->Current();
        else
            m_pApp->LoadBranchEnvironment();
        // A table that was not read completely must not replace the stored one.
        if (m_pApp->EnvironmentLoaded()) {
            m_pApp->m_ScrIFTab.rcWindow = Normalised(m_pApp->m_ScrIFTab.rcWindow);
            // A store the editor may not write (read-only, say) is left as it is, with a word.
            if (!m_pApp->StoreScreenDefinition() && m_pApp->Ui() &&
                !m_pApp->StoreProblem().isEmpty())
                m_pApp->Ui()->MessageBox(
                    QStringLiteral("The window's place and size are not kept: %1")
                        .arg(m_pApp->StoreProblem()),
                    QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                    UserInteraction::MB_ICONEXCLAMATION);
        }
    }
    EndDialog(IDCANCEL);
}

void CQXPanMainDlg::OnChangeToOld()
{
    if (!m_pApp) {
        OnExitEditor();
        return;
    }
    const quint32 before = m_pApp->m_dwChangeToOld;
    m_pApp->m_dwChangeToOld = kChangeToOld;
    OnExitEditor();
    // The editor stayed open (a save was cancelled): no hand-over was asked for after all.
    if (!m_ended)
        m_pApp->m_dwChangeToOld = before;
}

namespace {

const QString kPanelDialogTitle = QStringLiteral("Full Check Window");
const QString kPanelFilter = QStringLiteral("Data files (*.pan)");

QStringList NamesOf(const CQXPanRefList& list)
{
    QStringList names;
    names.reserve(qsizetype(list.size()));
    for (const CQXPanRefItem& item : list)
        names.append(item.m_strCol1);
    return names;
}

// Reading a panel file with the editor's effects: the item list follows the background, the
// properties dialog picks the placed bitmaps, questions and messages go to the user.
class EditorPanelHost final : public PanelReadHost
{
public:
    explicit EditorPanelHost(CQXPanMainDlg& dlg) : m_dlg(dlg) {}

    void BeginRead() override
    {
        m_savedType = m_dlg.m_ObjDlg.m_nObjType;
        m_dlg.m_cbObjectType->setCurrentIndex(QXPanObj::TypeBackground);
        m_dlg.FillItemList(true);
    }
    void EndRead() override
    {
        m_dlg.m_cbObjectType->setCurrentIndex(m_savedType);
        // The list shows the background rows; show the restored type's rows again.
        m_dlg.m_ObjDlg.m_nObjType = QXPanObj::TypeBackground;
        m_dlg.FillItemList(true);
    }
    void ShowMessage(const QString& text) override
    {
        if (UserInteraction* ui = Ui())
            ui->MessageBox(text);
    }
    QStringList BackgroundNames() const override { return NamesOf(m_dlg.m_ObjDlg.m_BgList); }
    QStringList PlacedBitmapNames() const override { return NamesOf(m_dlg.m_ObjDlg.m_BmpList); }
    // The remembered background row is always the row shown, so that Save writes the background
    // that is seen and a change of image type reloads what it must.
    void SelectBackgroundItem(int nListSel, int nItem) override
    {
        // Selected afresh, so that the list shows the background even when the row was current.
        m_dlg.m_lcItems->clearSelection();
        m_dlg.SelectListPosition(nItem);
        m_dlg.m_nListSel = m_dlg.ItemAt(nItem) ? nItem : nListSel;
    }
    void LoadEmptyBackground(int nListSel) override
    {
        if (!m_dlg.m_pApp)
            return;
        const QString name = QStringLiteral("Aempty.bmp");
        m_dlg.LoadBackgroundBitmap(QDir(m_dlg.m_pApp->m_strBackgroundFolder).filePath(name));
        const QStringList names = BackgroundNames();
        qsizetype row = 1;
        while (row < names.size() && names[row].compare(name, Qt::CaseInsensitive) != 0)
            ++row;
        m_dlg.m_nListSel = row < names.size() ? int(row) - 1 : nListSel;
        m_dlg.ShowListPositionQuietly(m_dlg.m_nListSel);
    }
    void ImportScreenBackground(int nListSel, int fileNumber) override
    {
        m_dlg.ImportScreenFile(fileNumber);
        // A screen file that is not listed shows as no row; Save then names the screen file.
        m_dlg.m_nListSel = m_dlg.ItemAt(nListSel) ? nListSel : -1;
        m_dlg.ShowListPositionQuietly(m_dlg.m_nListSel);
    }
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override
    {
        m_dlg.m_ObjDlg.m_nObjType = QXPanObj::TypePlaceBitmap;
        m_dlg.m_ObjDlg.SelectRow(j);
        return m_dlg.m_ObjDlg.ApplyItemToBitmap(obj) != 0;
    }
    bool AskContinue(const QString&, const QString& question) override
    {
        UserInteraction* ui = Ui();
        return ui && ui->MessageBox(question, QString::fromLatin1(kAppName),
                                    UserInteraction::MB_YESNO) == UserInteraction::IDYES;
    }

private:
    UserInteraction* Ui() const { return m_dlg.m_pApp ? m_dlg.m_pApp->Ui() : nullptr; }

    CQXPanMainDlg& m_dlg;
    int m_savedType = QXPanObj::TypeBackground;
};

} // namespace

bool CQXPanMainDlg::OnSave()
{
    if (!HasScreen() || !m_pApp->Ui())
        return false;
    UserInteraction::FileDialogRequest request;
    request.title = kPanelDialogTitle;
    request.initialName = QStringLiteral("untitled.pan");
    request.filter = kPanelFilter;
    request.options = UserInteraction::OverwritePrompt;
    // The name is used as typed: no extension is added.
    const QString path = m_pApp->Ui()->GetSaveFileName(request);
    if (path.isEmpty())
        return false;

    QList<PanelFile::BitmapRow> rows;
    rows.reserve(qsizetype(m_ObjDlg.m_BmpList.size()));
    for (const CQXPanRefItem& item : m_ObjDlg.m_BmpList)
        rows.append(PanelFile::BitmapRow{item.m_strCol1, item.Image()});
    const int background =
        PanelFile::BackgroundNumberForSave(NamesOf(m_ObjDlg.m_BgList), m_nListSel);
    if (!PanelFile::Write(path, m_DesignDlg, background, m_pApp->m_strPlacedBitmapFolder, rows)) {
        m_pApp->Ui()->MessageBox(PanelFile::CantOpenText(path));
        return false;
    }
    m_DesignDlg.MarkSaved();
    return true;
}

void CQXPanMainDlg::OnOpen()
{
    if (!HasScreen() || !m_pApp->Ui())
        return;
    UserInteraction::FileDialogRequest request;
    request.title = kPanelDialogTitle;
    request.initialName = QStringLiteral("*.pan");
    request.filter = kPanelFilter;
    const QString path = m_pApp->Ui()->GetOpenFileName(request);
    if (path.isEmpty())
        return;
    m_DesignDlg.Deselect();
    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    ReadPanelFile(path);
    m_DesignDlg.EndDesignChange<CQXPanOpenCommand>(std::move(before), m_nListSel);
    m_DesignDlg.MarkSaved();
    m_DesignDlg.Redraw();
}

int CQXPanMainDlg::ReadPanelFile(const QString& path)
{
    EditorPanelHost host(*this);
    const int T = kFirstScreenFile + m_cbImageType->currentIndex();
    return PanelFile::Read(path, T, m_DesignDlg, host).nResult;
}

void CQXPanMainDlg::OnNew()
{
    if (!HasScreen() || !m_pApp->Ui())
        return;
    const int answer = m_pApp->Ui()->MessageBox(
        QStringLiteral("Would you like to save the data and creat a new image?"),
        QString::fromLatin1(kAppName), UserInteraction::MB_YESNO,
        UserInteraction::MB_ICONEXCLAMATION);
    if (answer != UserInteraction::IDYES)
        return;
    // A cancelled or failed save does not stop the command: New can be taken back.
    OnSave();
    m_DesignDlg.Deselect();
    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    m_DesignDlg.ClearObjects(false);

    const CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    int first = -1;
    for (size_t e = 1; e < backgrounds.size(); ++e) {
        if (backgrounds[e].m_strCol1.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
            first = int(e);
            break;
        }
    }
    if (first > 0) {
        if (m_ObjDlg.m_nObjType == QXPanObj::TypeBackground) {
            // Selected afresh, so that the list loads it even when the row was current.
            m_lcItems->clearSelection();
            SelectListPosition(first - 1);
        } else {
            if (m_lcItems->topLevelItemCount() > 0)
                SelectListPosition(0);
            // An empty design should look empty whatever object type is shown.
            const FileResult loaded = ::LoadBackgroundBitmap(
                QDir(m_pApp->m_strBackgroundFolder).filePath(backgrounds[size_t(first)].m_strCol1),
                m_DesignDlg.m_Background);
            ShowOpenError(loaded);
            if (loaded)
                m_nListSel = first - 1;
        }
    }
    m_DesignDlg.EndDesignChange<CQXPanNewCommand>(std::move(before), m_nListSel);
    m_DesignDlg.MarkSaved();
    m_DesignDlg.Redraw();
}

void CQXPanMainDlg::OnConvert()
{
    // Without a branch or an image type the file number would name no screen (795 is the
    // key table).
    if (!HasScreen() || !m_pApp->Ui())
        return;
    UserInteraction* ui = m_pApp->Ui();
    const int n = kFirstScreenFile + m_cbImageType->currentIndex();
    const QString question =
        n != kFirstScreenFile
            ? QStringLiteral("Do you save %1 and FILE795P.TXT ?").arg(RegisterFileName(n))
            : QStringLiteral("Do you save FILE796P.TXT ?");
    if (ui->MessageBox(question, QString::fromLatin1(kAppName), UserInteraction::MB_OKCANCEL) !=
        UserInteraction::IDOK)
        return;
    // The bitmap table now holds the design: the history ends here, and the design is in the
    // register's files.
    m_DesignDlg.ClearHistory();
    m_DesignDlg.MarkSaved();

    std::optional<WaitCursor> wait(std::in_place);
    // Its own failures are reported to the user; the command goes on.
    const ConvertResult converted =
        ConvertDesign(m_DesignDlg, n, m_pApp->m_strProgramFolder, m_arrBitmapTable, true,
                      [this](const FileMessage& message) { ShowFileMessage(message); });
    if (converted.ScreenTried())
        ListScreenFile(n);
    if (converted.stage != ConvertResult::Stage::Done) {
        wait.reset();
        const QString why =
            converted.failure.reason.isEmpty() ? QString() : converted.failure.Text();
        ui->MessageBox(why.isEmpty() ? QStringLiteral("Convert err")
                                     : QStringLiteral("Convert err\n\n%1").arg(why),
                       QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                       UserInteraction::MB_ICONERROR);
        return;
    }
    QString done = QStringLiteral("Normal end");
    if (!converted.keptCopy.isEmpty())
        done += QStringLiteral("\n\n") + BitmapTableFile::KeptCopyText(converted.keptCopy);
    ui->MessageBox(done);
    // The wait cursor stays until the closing message has been dismissed.
}

void CQXPanMainDlg::ListScreenFile(int n)
{
    CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    const QString target = RegisterFileName(n);
    const auto nameAt = [&backgrounds](int i) {
        return i < int(backgrounds.size()) ? backgrounds[size_t(i)].m_strCol1 : QString();
    };
    int insertAt = -1;
    int j = kFirstScreenFile;
    int i = 1;
    for (; i <= n - 795 && insertAt < 0; ++i) {
        const QString name = nameAt(i);
        if (name.compare(target, Qt::CaseInsensitive) == 0)
            return; // listed already
        while (name.compare(RegisterFileName(j), Qt::CaseInsensitive) != 0) {
            if (++j >= n) {
                insertAt = i;
                break;
            }
        }
    }
    if (insertAt < 0)
        insertAt = i;
    CQXPanRefItem entry;
    entry.m_strCol1 = target;
    const size_t at = std::min(size_t(insertAt), backgrounds.size());
    backgrounds.insert(backgrounds.begin() + qsizetype(at), std::move(entry));

    // The remembered background row moves down with its file, whichever type is shown.
    const int insertedPos = int(at) - 1;
    if (m_nListSel >= insertedPos)
        ++m_nListSel;
    if (m_cbObjectType->currentIndex() == QXPanObj::TypeBackground) {
        FillItemList(false);
        ShowListPositionQuietly(m_nListSel);
    }
}

void CQXPanMainDlg::ShowListPositionQuietly(int nPos)
{
    const int mode = m_ObjDlg.m_nMode;
    m_ObjDlg.m_nMode = QXPanObj::ModeRefill;
    SelectListPosition(nPos);
    m_ObjDlg.m_nMode = mode;
}

void CQXPanMainDlg::OnPreview()
{
    if (!HasScreen())
        return;
    QImage picture;
    bool built = false;
    {
        WaitCursor wait;
        built = RegisterPreview::Build(m_DesignDlg, picture);
    }
    if (!built) {
        if (m_pApp && m_pApp->Ui())
            m_pApp->Ui()->MessageBox(QStringLiteral("The register preview could not be made."),
                                     QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                                     UserInteraction::MB_ICONERROR);
        return;
    }
    if (!m_previewDlg) {
        m_previewDlg = new CQXPanPreviewDlg(this);
        connect(m_previewDlg, &CQXPanPreviewDlg::RefreshRequested, this, &CQXPanMainDlg::OnPreview);
    }
    m_previewDlg->SetPicture(picture);
    m_previewDlg->show();
    m_previewDlg->raise();
    m_previewDlg->activateWindow();
}

// ---- Bitmap library and transfer ----

namespace {

bool SameFilePath(const QString& a, const QString& b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
               .compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), Qt::CaseInsensitive) == 0;
}

bool IsBmpName(const QString& name)
{
    return name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive);
}

// The row of a list whose file is name: the same spelling first, else the first that differs
// only in case; -1 when none. One row, so that two files "a.bmp" and "A.bmp" give one object.
int RowOfFile(const CQXPanRefList& list, const QString& name)
{
    int caseless = -1;
    for (size_t row = 1; row < list.size(); ++row) {
        const QString& file = list[row].m_strCol1;
        if (file == name)
            return int(row);
        if (caseless < 0 && file.compare(name, Qt::CaseInsensitive) == 0)
            caseless = int(row);
    }
    return caseless;
}

} // namespace

void CQXPanMainDlg::ConnectBitmapLibrary()
{
    auto clicked = [this](int id, void (CQXPanMainDlg::*handler)()) {
        if (auto* button = qobject_cast<QPushButton*>(GetDlgItem(id)))
            connect(button, &QPushButton::clicked, this, handler);
    };
    clicked(IDC_BROWSE, &CQXPanMainDlg::OnBrowse);
    clicked(IDC_EDIT, &CQXPanMainDlg::OnEdit);
    clicked(IDC_RECEIVESEND, &CQXPanMainDlg::OnReceiveSend);
}

void CQXPanMainDlg::OnBrowse()
{
    const int type = m_ObjDlg.m_nObjType;
    if ((type != QXPanObj::TypeBackground && type != QXPanObj::TypePlaceBitmap) || !m_pApp ||
        !m_pApp->Ui())
        return;
    UserInteraction* ui = m_pApp->Ui();
    const QString folder = type == QXPanObj::TypePlaceBitmap ? m_pApp->m_strPlacedBitmapFolder
                                                             : m_pApp->m_strBackgroundFolder;

    UserInteraction::FileDialogRequest request;
    request.title = QStringLiteral("Copy into branch");
    request.initialName = folder + QLatin1Char('/');
    request.filter = QStringLiteral("bitmap file(*.bmp)");
    request.options = UserInteraction::FileMustExist;
    const QStringList files = ui->GetOpenFileNames(request);
    if (files.isEmpty())
        return;

    enum class Existing
    {
        NotAsked,
        Replace,
        Keep
    };
    Existing existing = Existing::NotAsked;
    bool first = true;
    for (const QString& path : files) {
        // The placeholder background is never overwritten.
        if (path.endsWith(QStringLiteral("Aempty.bmp"), Qt::CaseInsensitive))
            continue;
        // Only the file's own name is used, so nothing is written outside the folder.
        const QString title = QFileInfo(path).fileName();
        if (title.isEmpty() || title.size() > 256)
            continue;
        const QString destination =
            QDir(folder).filePath(IsBmpName(title) ? title : title + QStringLiteral(".bmp"));
        if (first) {
            first = false;
            // A file of the target folder itself: the user is browsing the wrong way round.
            if (SameFilePath(path, destination))
                return;
        }
        if (QFileInfo::exists(destination)) {
            if (existing == Existing::NotAsked) {
                existing =
                    ui->MessageBox(QStringLiteral("Do you update existing BMP files in branch?"),
                                   QString::fromLatin1(kAppName),
                                   UserInteraction::MB_YESNO) == UserInteraction::IDYES
                        ? Existing::Replace
                        : Existing::Keep;
            }
            if (existing == Existing::Keep)
                continue;
        }
        CopyFileReplacing(path, destination);
    }

    RefreshAfterBitmapChange();
    // The object type box items keep pointing at the two bitmap lists by their type.
    FillItemList(false);
}

void CQXPanMainDlg::OnEdit()
{
    const int type = m_ObjDlg.m_nObjType;
    if ((type != QXPanObj::TypeBackground && type != QXPanObj::TypePlaceBitmap) || !m_pApp ||
        !m_pApp->Ui())
        return;

    QString path;
    if (type == QXPanObj::TypePlaceBitmap) {
        const int row = m_ObjDlg.m_nSel[0];
        if (row < 1 || size_t(row) >= m_ObjDlg.m_BmpList.size())
            return;
        path = QDir(m_pApp->m_strPlacedBitmapFolder)
                   .filePath(m_ObjDlg.m_BmpList[size_t(row)].m_strCol1);
    } else {
        const QTreeWidgetItem* item = ItemAt(m_nListSel);
        const int row = item ? item->data(0, Qt::UserRole).toInt() : 0;
        if (row < 1 || size_t(row) >= m_ObjDlg.m_BgList.size())
            return;
        path =
            QDir(m_pApp->m_strBackgroundFolder).filePath(m_ObjDlg.m_BgList[size_t(row)].m_strCol1);
    }

    // An absolute path, so that a file name beginning with "-" never reads as an option.
    path = QFileInfo(path).absoluteFilePath();

    // Screen table 4 names the branch's bitmap editor; flag bit value 2 says it is set.
    _ScreenDefinition_InterfaceTable table;
    const bool hasEditor =
        CDefScrInfo(m_pApp->Store()).GetScrIFTab(nullptr, DEFSCR_SCRNO_BMPEDITOR, table) != 0 &&
        (table.dwFlags & 2u) != 0;
    UserInteraction* ui = m_pApp->Ui();
    const UserInteraction::ProgramRun run =
        hasEditor ? ui->StartAndWait(table.strProgramPath, {path}) : ui->OpenDocumentAndWait(path);
    if (!run.started) {
        ui->MessageBox(QStringLiteral("shell exe err"));
        return;
    }
    RefreshAfterBitmapChange();
    if (isVisible())
        activateWindow();
}

void CQXPanMainDlg::RefreshAfterBitmapChange()
{
    if (!m_pApp)
        return;
    // The history's placed bitmaps point at images released here.
    m_DesignDlg.ClearHistory();
    QStringList dropped;
    if (m_cbObjectType->currentIndex() == QXPanObj::TypePlaceBitmap) {
        // The list's images are released below: keep only names and rectangles.
        const QList<CQXPanBmpObj> previous = m_DesignDlg.m_BmpObjs;
        m_DesignDlg.m_SelRect.m_nObjIndex = -1;
        m_DesignDlg.m_SelRect.ForgetTrack();
        m_DesignDlg.ClearObjects(true);
        m_ObjDlg.RefreshBitmapLists(1);

        CQXPanRefList& list = m_ObjDlg.m_BmpList;
        for (const CQXPanBmpObj& old : previous) {
            const int row = RowOfFile(list, old.m_strFileName);
            CQXPanBmpObj fresh;
            if (row > 0) {
                m_ObjDlg.SelectRow(row);
                // A listed file that no longer loads leaves its object out of the design.
                if (m_ObjDlg.ApplyItemToBitmap(fresh)) {
                    fresh.SetRegisterRect(old.m_rcRegister);
                    m_DesignDlg.AddBmpObj(fresh);
                    continue;
                }
            }
            if (!dropped.contains(old.m_strFileName))
                dropped.append(old.m_strFileName);
        }

        // The bitmap slot pointed into the old list as well.
        CQXPanBmpObj& clip = m_ObjDlg.m_BmpClip;
        if (clip.m_pImage) {
            const int row = RowOfFile(list, clip.m_strFileName);
            CDibImage* image = row > 0 ? list[size_t(row)].LoadImage() : nullptr;
            const QXPanRect rect = clip.DisplayRect();
            clip.m_pImage = nullptr;
            if (image) {
                const QString name = clip.m_strFileName;
                clip.SetImage(image, &name);
                clip.SetDisplayRect(rect);
            }
        }
    } else {
        QString name;
        if (m_nListSel > 0) {
            const QTreeWidgetItem* item = ItemAt(m_nListSel);
            const int row = item ? item->data(0, Qt::UserRole).toInt() : 0;
            if (row > 1 && size_t(row) < m_ObjDlg.m_BgList.size())
                name = m_ObjDlg.m_BgList[size_t(row)].m_strCol1;
        }
        m_ObjDlg.RefreshBitmapLists(0);
        if (IsBmpName(name)) {
            const CQXPanRefList& list = m_ObjDlg.m_BgList;
            for (size_t row = 1; row < list.size(); ++row) {
                if (list[row].m_strCol1.compare(name, Qt::CaseInsensitive) == 0) {
                    // Not reported: a file that fails to load keeps the shown background.
                    m_DesignDlg.m_Background.Load(
                        QDir(m_pApp->m_strBackgroundFolder).filePath(list[row].m_strCol1));
                    break;
                }
            }
        }
    }
    m_DesignDlg.Redraw();
    if (!dropped.isEmpty()) {
        m_DesignDlg.m_bModified = true;
        if (m_pApp->Ui())
            m_pApp->Ui()->MessageBox(
                QStringLiteral("These placed bitmaps were taken off the design because their "
                               "files are gone or cannot be read:\n\n%1")
                    .arg(dropped.join(QLatin1Char('\n'))),
                QString::fromLatin1(kAppName), UserInteraction::MB_OK,
                UserInteraction::MB_ICONEXCLAMATION);
    }
}

void CQXPanMainDlg::OnReceiveSend()
{
    const int index = m_cbImageType->currentIndex();
    if (!m_pApp || index < 0)
        return;
    CQXPgco dlg(m_pApp->Store());
    const int fileNo = 796 + index;
    const QString path = QDir(m_pApp->m_strProgramFolder).filePath(RegisterFileName(fileNo));
    if (!QFileInfo::exists(path)) {
        dlg.m_dwMode = 2;
        dlg.m_strCommand = QStringLiteral("/RECEIVE");
    } else {
        dlg.m_dwMode = 1;
        dlg.m_strCommand = QStringLiteral("/SEND \"%1\"").arg(path);
    }
    CDefBaseInfo(m_pApp->Store()).GetECRQX27Func(m_pApp->m_strECR, dlg.m_dwFunc);
    RunCommDialog(dlg);
    // Nothing is reloaded: a received file is listed when the lists are next rebuilt.
}

int CQXPanMainDlg::RunCommDialog(CQXPgco& dlg)
{
    return dlg.exec();
}
