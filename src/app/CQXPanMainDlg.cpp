#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanPreviewDlg.h"
#include "app/DesktopEntry.h"
#include "app/UserInteraction.h"
#include "canvas/CQXPanPositionReadout.h"
#include "canvas/CQXPanUndoCommands.h"
#include "document/PanelFile.h"
#include "document/PanelReadHost.h"
#include "image/BitmapTableFile.h"
#include "image/CDibImage.h"
#include "image/FileMessage.h"
#include "image/RegisterPreview.h"
#include "image/ScreenFileImport.h"
#include "image/ScreenProgramFile.h"
#include "library/CQXPgco.h"
#include "reglib/CDefBaseInfo.h"
#include "reglib/CDefScrInfo.h"
#include "reglib/QxCtrlTypes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
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
#include <QSaveFile>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

// Dialog base units of the 8-point dialog font the layout was drawn with.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

// Size of the dialog's client area in dialog units.
constexpr int kDialogWidthDlu = 677;
constexpr int kDialogHeightDlu = 389;
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

constexpr int kModeRefill = CQXPanObjDlg::ModeRefill;
constexpr int kModeImageTypeSwitch = CQXPanObjDlg::ModeImageTypeSwitch;
constexpr int kModeDragging = CQXPanObjDlg::ModeDragging;

// The first screen file: item i of the image type box is screen 796 + i.
constexpr int kFirstScreenFile = 796;
constexpr int kFirstCheckWindow = 797;
// Object types with a row that cannot be chosen: the single table item.
constexpr int kObjectTypeCount = CQXPanObjDlg::kTypeCount;

// Column widths of the item list from the header texts; 0 hides a column.
int FirstColumnWidth(const QString& caption)
{
    return caption.isEmpty() ? 0 : 8 * int(caption.size()) + 10;
}
int OtherColumnWidth(const QString& caption)
{
    return caption.isEmpty() ? 0 : 10 * (int(caption.size()) + 1);
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

// Windows' MulDiv: rounds halves away from zero.
int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

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
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    layout->addWidget(m_client);

    CreateMenu();
    CreateControls();
    ConnectBitmapLibrary();

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

    const QRect client = MapDialogRect(0, 0, kDialogWidthDlu, kDialogHeightDlu + kReadoutRoomDlu);
    resize(client.width(), client.height() + m_menuBar->sizeHint().height());
    setMinimumSize(kMinTrackWidth, kMinTrackHeight);
}

CQXPanMainDlg::~CQXPanMainDlg() = default;

QRect CQXPanMainDlg::MapDialogRect(int x, int y, int width, int height)
{
    const int left = MulDiv(x, kBaseUnitX, 4);
    const int top = MulDiv(y, kBaseUnitY, 8);
    const int right = MulDiv(x + width, kBaseUnitX, 4);
    const int bottom = MulDiv(y + height, kBaseUnitY, 8);
    return QRect(left, top, right - left, bottom - top);
}

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
    if (m_ObjDlg.m_nObjType != CQXPanObjDlg::TypeBackground)
        return;
    // The picture is back already: select the row without loading it again.
    const int mode = m_ObjDlg.m_nMode;
    m_ObjDlg.m_nMode = kModeRefill;
    SelectListPosition(nListSel);
    m_ObjDlg.m_nMode = mode;
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
    const auto place = [this](QWidget* widget, int id, int x, int y, int w, int h) {
        widget->setGeometry(MapDialogRect(x, y, w, h));
        if (id != -1) {
            widget->setObjectName(QString::number(id));
            m_controls.insert(id, widget);
        }
    };
    const auto label = [&](int id, const char* text, int x, int y, int w, int h) {
        auto* widget = new QLabel(QString::fromLatin1(text), m_client);
        place(widget, id, x, y, w, h);
        // The desktop's font may run wider than the one the layout was drawn for: let a label
        // grow to the right rather than cut its text.
        if (widget->sizeHint().width() > widget->width())
            widget->resize(widget->sizeHint().width(), widget->height());
        return widget;
    };
    const auto button = [&](int id, const char* text, int x, int y, int w, int h) {
        auto* widget = new QPushButton(QString::fromLatin1(text), m_client);
        place(widget, id, x, y, w, h);
        return widget;
    };
    const auto groupBox = [&](const char* text, int x, int y, int w, int h) {
        auto* widget = new QGroupBox(QString::fromLatin1(text), m_client);
        place(widget, -1, x, y, w, h);
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
    QLabel* imageTypeLabel = label(-1, "Image Type(&I)", 16, 12, 47, 8);
    m_cbImageType = new QComboBox(m_client);
    place(m_cbImageType, IDC_IMAGETYPE, 10, 21, 117, 50);
    m_cbImageType->setFixedHeight(kComboHeight);
    imageTypeLabel->setBuddy(m_cbImageType);
    QPushButton* convert = button(IDC_CONVERT, "Convert(&C)", 10, 35, 117, 14);
    connect(convert, &QPushButton::clicked, this, &CQXPanMainDlg::OnConvert);
    QPushButton* receiveSend = button(IDC_RECEIVESEND, "Receive/Send(&S)", 10, 50, 117, 14);
    receiveSend->setEnabled(false);
    receiveSend->setVisible(false);
    QPushButton* newButton = button(IDC_NEW, "New(&N)", 10, 65, 117, 14);
    connect(newButton, &QPushButton::clicked, this, &CQXPanMainDlg::OnNew);
    // Beside the "Image Type" label, the one free place in the group: every other row is taken.
    QPushButton* preview = button(IDC_PREVIEW, "Preview", 80, 9, 47, 11);
    preview->setToolTip(QStringLiteral("Register preview (Ctrl+R)"));
    connect(preview, &QPushButton::clicked, this, &CQXPanMainDlg::OnPreview);
    auto* previewKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(previewKey, &QShortcut::activated, this, &CQXPanMainDlg::OnPreview);
    groupBox("Execute Mode", 4, 2, 129, 83);

    QLabel* objectTypeLabel = label(-1, "Object Type(&O)", 15, 98, 51, 8);
    m_cbObjectType = new QComboBox(m_client);
    place(m_cbObjectType, IDC_OBJECTTYPE, 10, 107, 117, 87);
    m_cbObjectType->setFixedHeight(kImageComboHeight);
    m_cbObjectType->setIconSize(QSize(kObjectTypeIconSize, kObjectTypeIconSize));
    objectTypeLabel->setBuddy(m_cbObjectType);
    button(IDC_BROWSE, "Browse(&B)", 10, 131, 58, 14)->setEnabled(false);
    button(IDC_EDIT, "Edit(&P)", 68, 131, 58, 14)->setEnabled(false);
    m_lcItems = new QTreeWidget(m_client);
    place(m_lcItems, IDC_ITEMLIST, 10, 153, 117, 188);
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
    groupBox("Select Item", 4, 88, 129, 259);

    QPushButton* exitButton = button(IDCANCEL, "Exit(&X)", 4, 370, 50, 16);
    connect(exitButton, &QPushButton::clicked, this, &CQXPanMainDlg::reject);
    label(IDC_DESIGNAREA_LABEL, "Design Area", 139, 7, 40, 8);
    QPushButton* deleteButton = button(IDC_DELETE, "Delete(&D)", 184, 2, 50, 14);
    connect(deleteButton, &QPushButton::clicked, this,
            [this] { m_DesignDlg.EditCommand(CQXPanDesignDlg::kKeyDelete, 0); });
    QPushButton* ok = button(IDOK, "OK", 619, 370, 50, 16);
    ok->setDefault(true);
    ok->setEnabled(false);
    ok->setVisible(false);
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

    QxRect& rc = m_pApp->m_ScrIFTab.rcWindow;
    if (rc.right - rc.left <= 0 || rc.bottom - rc.top <= 0)
        rc = CurrentWindowRect();
    MoveWindowTo(rc);
    update();

    setWindowTitle(
        QStringLiteral("Full Check Window - %1 (%2)").arg(m_pApp->m_strBranch, m_pApp->m_strECR));

    m_ObjDlg.SetApplication(*m_pApp);
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
        m_lcItems->setColumnWidth(column, kItemColumnWidth);
    }

    // A type no item has, so that the list is filled for the type shown.
    m_ObjDlg.m_nObjType = kObjectTypeCount;
    FillItemList(true);

    const QWidget* anchor = GetDlgItem(IDC_DESIGNAREA_LABEL);
    const int designWidth = m_pApp->m_rcDesign.right - m_pApp->m_rcDesign.left;
    const int designHeight = m_pApp->m_rcDesign.bottom - m_pApp->m_rcDesign.top;
    m_DesignDlg.setParent(m_client);
    // Windows rectangles end one past their last pixel: the area starts right under the label.
    m_DesignDlg.setGeometry(anchor->x() - 1, anchor->y() + anchor->height() + 1, designWidth + 1,
                            designHeight + 1);
    m_DesignDlg.OnInitDialog(m_pApp);
    m_DesignDlg.lower();
    m_DesignDlg.show();
    m_DesignDlg.SetObjDlg(&m_ObjDlg);
    if (!m_readout) {
        m_readout = new CQXPanPositionReadout(m_client);
        m_controls.insert(IDC_POSITION, m_readout);
    }
    const QRect area = m_DesignDlg.geometry();
    m_readout->setGeometry(area.left(), area.bottom() + 2, area.width(), kReadoutHeight);
    m_readout->Attach(&m_DesignDlg);
    m_readout->show();

    ReadBitmapTableFile();
    SelectFirstBackground(kFirstScreenFile);

    m_DesignDlg.m_bModified = false;
    m_DesignDlg.ClearHistory();
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
    const int count = T < kFirstCheckWindow ? CQXPanObjDlg::TypeTableRect : kObjectTypeCount;
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
        m_ObjDlg.m_nObjType = CQXPanObjDlg::TypeBackground;
}

void CQXPanMainDlg::OnImageTypeChange()
{
    if (!m_pApp)
        return;
    if (m_DesignDlg.m_bModified) {
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
    m_ObjDlg.m_nMode = kModeImageTypeSwitch;
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
    m_DesignDlg.Redraw();
    m_ObjDlg.m_nMode = previousMode;
}

void CQXPanMainDlg::SelectFirstBackground(int T)
{
    const QString screenFile = QStringLiteral("FILE%1P.TXT").arg(T, 3, 10, QLatin1Char('0'));
    const CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    for (int pos = 0; pos < m_lcItems->topLevelItemCount(); ++pos) {
        const size_t row = size_t(pos) + 1;
        if (row >= backgrounds.size())
            break;
        const QString& name = backgrounds[row].m_strCol1;
        if (name.compare(screenFile, Qt::CaseInsensitive) == 0 ||
            name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
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
    m_ObjDlg.m_nMode = kModeRefill;
    m_ObjDlg.m_nObjType = sel;

    m_lcItems->clear();
    const CQXPanRefList* list =
        sel >= 0 ? m_ObjDlg.ListOfType(m_cbObjectType->itemData(sel).toInt()) : nullptr;
    if (list && !list->empty()) {
        const CQXPanRefItem& header = list->front();
        m_lcItems->setHeaderLabels({header.m_strCol1, header.m_strCol2, header.m_strCol3});
        m_lcItems->setColumnWidth(0, FirstColumnWidth(header.m_strCol1));
        m_lcItems->setColumnWidth(1, OtherColumnWidth(header.m_strCol2));
        m_lcItems->setColumnWidth(2, OtherColumnWidth(header.m_strCol3));

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
    m_lcItems->setEnabled(type != CQXPanObjDlg::TypeTableRect &&
                          type != CQXPanObjDlg::TypeTableRound);
    GetDlgItem(IDC_BROWSE)
        ->setEnabled(type == CQXPanObjDlg::TypeBackground || type == CQXPanObjDlg::TypePlaceBitmap);
    GetDlgItem(IDC_EDIT)->setEnabled(type == CQXPanObjDlg::TypePlaceBitmap);

    m_ObjDlg.m_nMode = previousMode;
}

void CQXPanMainDlg::OnObjectTypeChange()
{
    FillItemList(true);
    if (m_lcItems->topLevelItemCount() > 0) {
        SelectListPosition(m_ObjDlg.m_nObjType == CQXPanObjDlg::TypeBackground ? m_nListSel : 0);
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
    if (m_ObjDlg.m_nMode == kModeRefill)
        return;
    const QTreeWidgetItem* item = ItemAt(nPos);
    if (!item)
        return;
    const int row = item->data(0, Qt::UserRole).toInt();

    if (m_ObjDlg.m_nObjType != CQXPanObjDlg::TypeBackground) {
        m_ObjDlg.SelectRow(row);
        return;
    }

    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    if (row >= 1 && size_t(row) < m_ObjDlg.m_BgList.size() && m_pApp) {
        const QString name = m_ObjDlg.m_BgList[size_t(row)].m_strCol1;
        if (name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive)) {
            LoadBackgroundBitmap(QDir(m_pApp->m_strBackgroundFolder).filePath(name));
            GetDlgItem(IDC_EDIT)->setEnabled(true);
        } else if (name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive)) {
            // "FILE797P.TXT": the screen number follows "FILE".
            ImportScreenFile(name.mid(4, 3).toInt());
            GetDlgItem(IDC_EDIT)->setEnabled(false);
        }
    }
    m_nListSel = nPos;
    m_DesignDlg.OnItemListChanged();
    m_DesignDlg.EndDesignChange<CQXPanBackgroundCommand>(std::move(before), m_nListSel);
}

void CQXPanMainDlg::OnBeginDrag(int nPos)
{
    if (m_ObjDlg.m_nMode == kModeRefill || m_ObjDlg.m_nObjType == CQXPanObjDlg::TypeBackground)
        return;
    const QTreeWidgetItem* item = ItemAt(nPos);
    if (!item)
        return;
    m_ObjDlg.SelectRow(item->data(0, Qt::UserRole).toInt());
    m_ObjDlg.m_nMode = kModeDragging;
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
        if (mouse->button() == Qt::LeftButton && isAncestorOf(target) &&
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
    if (m_ObjDlg.m_nObjType > CQXPanObjDlg::TypePlaceBitmap)
        return -1;
    if (m_ObjDlg.m_nObjType == CQXPanObjDlg::TypePlaceBitmap)
        return 0;
    m_DesignDlg.m_Background.Destroy();
    if (m_DesignDlg.m_Background.Load(path) != CDibImage::LoadOk) {
        if (m_pApp && m_pApp->Ui())
            m_pApp->Ui()->MessageBox(QStringLiteral("open err"));
        return -2;
    }
    return 0;
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

QxRect CQXPanMainDlg::CurrentWindowRect() const
{
    QRect frame = isVisible() ? frameGeometry() : QRect(QPoint(0, 0), size());
    if (!isVisible()) {
        // Not shown yet: where a new dialog appears, centred on the screen.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            frame.moveCenter(screen->availableGeometry().center());
    }
    return QxRect{frame.left(), frame.top(), frame.left() + frame.width(),
                  frame.top() + frame.height()};
}

void CQXPanMainDlg::MoveWindowTo(const QxRect& rc)
{
    // The stored rectangle is the outer window rectangle; the frame is only known once shown.
    m_placedFrame = QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    m_placed = true;
    const QSize frameExtra = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    move(m_placedFrame.topLeft());
    resize(m_placedFrame.size() - frameExtra);
    m_placedClientSize = size();
}

void CQXPanMainDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_placed)
        QTimer::singleShot(0, this, &CQXPanMainDlg::FitFrameToPlacement);
}

void CQXPanMainDlg::FitFrameToPlacement()
{
    if (!m_placed || !isVisible())
        return;
    m_placed = false;
    // Only the frame, not the user, may have changed the placement since.
    if (pos() != m_placedFrame.topLeft() || size() != m_placedClientSize)
        return;
    const QSize frameExtra = frameGeometry().size() - size();
    if (frameExtra.isNull())
        return;
    move(m_placedFrame.topLeft());
    resize(m_placedFrame.size() - frameExtra);
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
    if (m_DesignDlg.m_bModified && m_pApp && m_pApp->Ui()) {
        const int answer = m_pApp->Ui()->MessageBox(
            QStringLiteral("Would you like to save the data?"), QString::fromLatin1(kAppName),
            UserInteraction::MB_YESNO, UserInteraction::MB_ICONEXCLAMATION);
        if (answer == UserInteraction::IDYES)
            OnSave();
    }

    if (m_pApp) {
        if (!isMinimized())
            m_pApp->m_ScrIFTab.rcWindow = CurrentWindowRect();
        else
            m_pApp->LoadBranchEnvironment();
        // A table that was not read completely must not replace the stored one.
        if (m_pApp->EnvironmentLoaded()) {
            m_pApp->m_ScrIFTab.rcWindow = Normalised(m_pApp->m_ScrIFTab.rcWindow);
            m_pApp->StoreScreenDefinition();
        }
    }
    EndDialog(IDCANCEL);
}

void CQXPanMainDlg::OnChangeToOld()
{
    if (m_pApp)
        m_pApp->m_dwChangeToOld = kChangeToOld;
    OnExitEditor();
}

namespace {

const QString kPanelDialogTitle = QStringLiteral("Full Check Window");
const QString kPanelFilter = QStringLiteral("Data files (*.pan)");

QString ScreenFileName(int fileNumber)
{
    return QString::asprintf("FILE%03dP.TXT", fileNumber);
}

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
        m_dlg.m_cbObjectType->setCurrentIndex(CQXPanObjDlg::TypeBackground);
        m_dlg.FillItemList(true);
    }
    void EndRead() override
    {
        m_dlg.m_cbObjectType->setCurrentIndex(m_savedType);
        // The list shows the background rows; show the restored type's rows again.
        m_dlg.m_ObjDlg.m_nObjType = CQXPanObjDlg::TypeBackground;
        m_dlg.FillItemList(true);
    }
    void ShowMessage(const QString& text) override
    {
        if (UserInteraction* ui = Ui())
            ui->MessageBox(text);
    }
    QStringList BackgroundNames() const override { return NamesOf(m_dlg.m_ObjDlg.m_BgList); }
    QStringList PlacedBitmapNames() const override { return NamesOf(m_dlg.m_ObjDlg.m_BmpList); }
    void SelectBackgroundItem(int nListSel, int nItem) override
    {
        // Selected afresh, so that the list shows the background even when the row was current.
        m_dlg.m_lcItems->clearSelection();
        m_dlg.SelectListPosition(nItem);
        m_dlg.m_nListSel = nListSel;
    }
    void LoadEmptyBackground(int nListSel) override
    {
        m_dlg.m_nListSel = nListSel;
        if (m_dlg.m_pApp)
            m_dlg.LoadBackgroundBitmap(
                QDir(m_dlg.m_pApp->m_strBackgroundFolder).filePath(QStringLiteral("Aempty.bmp")));
    }
    void ImportScreenBackground(int nListSel, int fileNumber) override
    {
        m_dlg.m_nListSel = nListSel;
        m_dlg.ImportScreenFile(fileNumber);
    }
    bool TakePlacedBitmap(int j, CQXPanBmpObj& obj) override
    {
        m_dlg.m_ObjDlg.m_nObjType = CQXPanObjDlg::TypePlaceBitmap;
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
    int m_savedType = CQXPanObjDlg::TypeBackground;
};

} // namespace

void CQXPanMainDlg::OnSave()
{
    if (!m_pApp || !m_pApp->Ui())
        return;
    UserInteraction::FileDialogRequest request;
    request.title = kPanelDialogTitle;
    request.initialName = QStringLiteral("untitled.pan");
    request.filter = kPanelFilter;
    request.options = UserInteraction::OverwritePrompt;
    // The name is used as typed: no extension is added.
    const QString path = m_pApp->Ui()->GetSaveFileName(request);
    if (path.isEmpty())
        return;

    QList<PanelFile::BitmapRow> rows;
    rows.reserve(qsizetype(m_ObjDlg.m_BmpList.size()));
    for (const CQXPanRefItem& item : m_ObjDlg.m_BmpList)
        rows.append(PanelFile::BitmapRow{item.m_strCol1, item.Image()});
    const int background =
        PanelFile::BackgroundNumberForSave(NamesOf(m_ObjDlg.m_BgList), m_nListSel);
    if (!PanelFile::Write(path, m_DesignDlg, background, m_pApp->m_strPlacedBitmapFolder, rows))
        m_pApp->Ui()->MessageBox(PanelFile::CantOpenText(path));
}

void CQXPanMainDlg::OnOpen()
{
    if (!m_pApp || !m_pApp->Ui())
        return;
    UserInteraction::FileDialogRequest request;
    request.title = kPanelDialogTitle;
    request.initialName = QStringLiteral("*.pan");
    request.filter = kPanelFilter;
    const QString path = m_pApp->Ui()->GetOpenFileName(request);
    if (path.isEmpty())
        return;
    CQXPanDesignState before = m_DesignDlg.BeginDesignChange(m_nListSel);
    ReadPanelFile(path);
    m_DesignDlg.EndDesignChange<CQXPanOpenCommand>(std::move(before), m_nListSel);
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
    if (!m_pApp || !m_pApp->Ui())
        return;
    const int answer = m_pApp->Ui()->MessageBox(
        QStringLiteral("Would you like to save the data and creat a new image?"),
        QString::fromLatin1(kAppName), UserInteraction::MB_YESNO,
        UserInteraction::MB_ICONEXCLAMATION);
    if (answer != UserInteraction::IDYES)
        return;
    // A cancelled or failed save does not stop the command.
    OnSave();
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
        if (m_ObjDlg.m_nObjType == CQXPanObjDlg::TypeBackground) {
            // Selected afresh, so that the list loads it even when the row was current.
            m_lcItems->clearSelection();
            SelectListPosition(first - 1);
        } else {
            if (m_lcItems->topLevelItemCount() > 0)
                SelectListPosition(0);
            // An empty design should look empty whatever object type is shown.
            const QString path =
                QDir(m_pApp->m_strBackgroundFolder).filePath(backgrounds[size_t(first)].m_strCol1);
            m_DesignDlg.m_Background.Destroy();
            if (m_DesignDlg.m_Background.Load(path) != CDibImage::LoadOk)
                m_pApp->Ui()->MessageBox(QStringLiteral("open err"));
            else
                m_nListSel = first - 1;
        }
    }
    m_DesignDlg.EndDesignChange<CQXPanNewCommand>(std::move(before), m_nListSel);
    m_DesignDlg.Redraw();
}

void CQXPanMainDlg::OnConvert()
{
    if (!m_pApp || !m_pApp->Ui())
        return;
    UserInteraction* ui = m_pApp->Ui();
    const int n = kFirstScreenFile + m_cbImageType->currentIndex();
    const QString question =
        n != kFirstScreenFile
            ? QStringLiteral("Do you save %1 and FILE795P.TXT ?").arg(ScreenFileName(n))
            : QStringLiteral("Do you save FILE796P.TXT ?");
    if (ui->MessageBox(question, QString::fromLatin1(kAppName), UserInteraction::MB_OKCANCEL) !=
        UserInteraction::IDOK)
        return;
    // The bitmap table now holds the design: the history ends here.
    m_DesignDlg.ClearHistory();

    std::optional<WaitCursor> wait(std::in_place);
    CDibImage screen;
    if (!m_DesignDlg.RenderScreenImage(screen)) {
        wait.reset();
        ui->MessageBox(QStringLiteral("Convert err"), QString::fromLatin1(kAppName),
                       UserInteraction::MB_OK, UserInteraction::MB_ICONERROR);
        return;
    }
    // Its own failures are reported to the user; the command goes on.
    WriteScreenProgramFile(screen, n, m_pApp->m_strWorkFolder, m_pApp->m_strProgramFolder,
                           [this](const FileMessage& message) { ShowFileMessage(message); });

    // The new screen file is listed as a background, after the last smaller one listed.
    CQXPanRefList& backgrounds = m_ObjDlg.m_BgList;
    const QString target = ScreenFileName(n);
    const auto nameAt = [&backgrounds](int i) {
        return i < int(backgrounds.size()) ? backgrounds[size_t(i)].m_strCol1 : QString();
    };
    bool listed = false;
    int insertAt = -1;
    int j = kFirstScreenFile;
    int i = 1;
    for (; i <= n - 795 && insertAt < 0 && !listed; ++i) {
        const QString name = nameAt(i);
        if (name.compare(target, Qt::CaseInsensitive) == 0) {
            listed = true;
            break;
        }
        while (name.compare(ScreenFileName(j), Qt::CaseInsensitive) != 0) {
            if (++j >= n) {
                insertAt = i;
                break;
            }
        }
    }
    if (!listed) {
        if (insertAt < 0)
            insertAt = i;
        CQXPanRefItem entry;
        entry.m_strCol1 = target;
        const size_t at = std::min(size_t(insertAt), backgrounds.size());
        backgrounds.insert(backgrounds.begin() + qsizetype(at), std::move(entry));
        if (m_cbObjectType->currentIndex() == CQXPanObjDlg::TypeBackground) {
            FillItemList(false);
            ++m_nListSel;
        }
    }

    if (BitmapTableFile::Write(m_pApp->m_strProgramFolder, m_arrBitmapTable, n, m_DesignDlg) != 0)
        ui->MessageBox(QStringLiteral("Convert err"), QString::fromLatin1(kAppName),
                       UserInteraction::MB_OK, UserInteraction::MB_ICONERROR);
    else
        ui->MessageBox(QStringLiteral("Normal end"));
    // The wait cursor stays until the closing message has been dismissed.
}

void CQXPanMainDlg::OnPreview()
{
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

// Copies a bitmap file in pieces, so a file of any size costs one buffer; an existing
// destination is replaced only once the whole copy is written, so a failed copy leaves it as it
// was.
bool CopyBitmapFile(const QString& source, const QString& destination)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(chunk.data(), chunk.size());
        if (n < 0 || (n > 0 && out.write(chunk.constData(), n) != n)) {
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
    }
    // commit() misses a failed flush of the last buffered bytes and would put a cut file in
    // place on a full disk, so the bytes are flushed (and checked) first.
    return out.flush() && out.commit();
}

bool SameFilePath(const QString& a, const QString& b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
               .compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), Qt::CaseInsensitive) == 0;
}

bool IsBmpName(const QString& name)
{
    return name.endsWith(QStringLiteral(".bmp"), Qt::CaseInsensitive);
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
    if ((type != CQXPanObjDlg::TypeBackground && type != CQXPanObjDlg::TypePlaceBitmap) ||
        !m_pApp || !m_pApp->Ui())
        return;
    UserInteraction* ui = m_pApp->Ui();
    const QString folder = type == CQXPanObjDlg::TypePlaceBitmap ? m_pApp->m_strPlacedBitmapFolder
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
        CopyBitmapFile(path, destination);
    }

    RefreshAfterBitmapChange();
    // The object type box items keep pointing at the two bitmap lists by their type.
    FillItemList(false);
}

void CQXPanMainDlg::OnEdit()
{
    const int type = m_ObjDlg.m_nObjType;
    if ((type != CQXPanObjDlg::TypeBackground && type != CQXPanObjDlg::TypePlaceBitmap) ||
        !m_pApp || !m_pApp->Ui())
        return;

    QString path;
    if (type == CQXPanObjDlg::TypePlaceBitmap) {
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
    if (m_cbObjectType->currentIndex() == CQXPanObjDlg::TypePlaceBitmap) {
        // The list's images are released below: keep only names and rectangles.
        const QList<CQXPanBmpObj> previous = m_DesignDlg.m_BmpObjs;
        m_DesignDlg.m_SelRect.m_nObjIndex = -1;
        m_DesignDlg.m_SelRect.ForgetTrack();
        m_DesignDlg.ClearObjects(true);
        m_ObjDlg.RefreshBitmapLists(1);

        CQXPanRefList& list = m_ObjDlg.m_BmpList;
        for (const CQXPanBmpObj& old : previous) {
            for (size_t row = 1; row < list.size(); ++row) {
                if (list[row].m_strCol1.compare(old.m_strFileName, Qt::CaseInsensitive) != 0)
                    continue;
                m_ObjDlg.SelectRow(int(row));
                CQXPanBmpObj fresh;
                // A listed file that no longer loads leaves its object out of the design.
                if (!m_ObjDlg.ApplyItemToBitmap(fresh))
                    continue;
                fresh.SetRegisterRect(old.m_rcRegister);
                m_DesignDlg.AddBmpObj(fresh);
            }
        }

        // The bitmap slot pointed into the old list as well.
        CQXPanBmpObj& clip = m_ObjDlg.m_BmpClip;
        if (clip.m_pImage) {
            CDibImage* image = nullptr;
            for (size_t row = 1; row < list.size() && !image; ++row) {
                if (list[row].m_strCol1.compare(clip.m_strFileName, Qt::CaseInsensitive) == 0)
                    image = list[row].LoadImage();
            }
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
}

void CQXPanMainDlg::OnReceiveSend()
{
    const int index = m_cbImageType->currentIndex();
    if (!m_pApp || index < 0)
        return;
    CQXPgco dlg(m_pApp->Store());
    const int fileNo = 796 + index;
    const QString path =
        QDir(m_pApp->m_strProgramFolder)
            .filePath(QStringLiteral("FILE%1P.TXT").arg(fileNo, 3, 10, QLatin1Char('0')));
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
