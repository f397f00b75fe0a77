#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/UserInteraction.h"
#include "reglib/QxCtrlTypes.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Dialog base units of the 8-point dialog font the layout was drawn with.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;

// Size of the dialog's client area in dialog units.
constexpr int kDialogWidthDlu = 677;
constexpr int kDialogHeightDlu = 389;

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
      m_hIcon(QStringLiteral(":/qxpan/qxpan.png")), m_appForInit(app)
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

    const QRect client = MapDialogRect(0, 0, kDialogWidthDlu, kDialogHeightDlu);
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
    addMenu("Edit(&E)",
            {{"Cut(&X)", ID_EDIT_CUT}, {"Copy(&C)", ID_EDIT_COPY}, {"Paste(&P)", ID_EDIT_PASTE}});
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
    button(IDC_CONVERT, "Convert(&C)", 10, 35, 117, 14);
    QPushButton* receiveSend = button(IDC_RECEIVESEND, "Receive/Send(&S)", 10, 50, 117, 14);
    receiveSend->setEnabled(false);
    receiveSend->setVisible(false);
    button(IDC_NEW, "New(&N)", 10, 65, 117, 14);
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
    groupBox("Select Item", 4, 88, 129, 259);

    QPushButton* exitButton = button(IDCANCEL, "Exit(&X)", 4, 370, 50, 16);
    connect(exitButton, &QPushButton::clicked, this, &CQXPanMainDlg::reject);
    label(IDC_DESIGNAREA_LABEL, "Design Area", 139, 7, 40, 8);
    button(IDC_DELETE, "Delete(&D)", 184, 2, 50, 14);
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

    QxRect& rc = m_pApp->m_ScrIFTab.rcWindow;
    if (rc.right - rc.left <= 0 || rc.bottom - rc.top <= 0)
        rc = CurrentWindowRect();
    MoveWindowTo(rc);
    update();

    setWindowTitle(
        QStringLiteral("Full Check Window - %1 (%2)").arg(m_pApp->m_strBranch, m_pApp->m_strECR));

    m_cbImageType->clear();
    for (const _ECRFile_Information& file : m_pApp->m_arrECRFiles)
        m_cbImageType->addItem(QStringLiteral("%1 - %2").arg(file.wFileNo).arg(file.strName));
    m_cbImageType->setCurrentIndex(0);
    m_nImageTypeSel = 0;

    m_lcItems->setColumnCount(kItemColumnCount);
    m_lcItems->setHeaderLabels(QStringList(kItemColumnCount, QString()));
    for (int column = 0; column < kItemColumnCount; ++column) {
        m_lcItems->headerItem()->setTextAlignment(column, Qt::AlignLeft | Qt::AlignVCenter);
        m_lcItems->setColumnWidth(column, kItemColumnWidth);
    }

    const QWidget* anchor = GetDlgItem(IDC_DESIGNAREA_LABEL);
    const int designWidth = m_pApp->m_rcDesign.right - m_pApp->m_rcDesign.left;
    const int designHeight = m_pApp->m_rcDesign.bottom - m_pApp->m_rcDesign.top;
    m_DesignDlg.m_pApp = m_pApp;
    m_DesignDlg.setParent(m_client);
    // Windows rectangles end one past their last pixel: the area starts right under the label.
    m_DesignDlg.setGeometry(anchor->x() - 1, anchor->y() + anchor->height() + 1, designWidth + 1,
                            designHeight + 1);
    m_DesignDlg.lower();
    m_DesignDlg.show();

    m_DesignDlg.m_bModified = 0;
    return true;
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
    case ID_FILE_SAVE:
        OnSave();
        break;
    case ID_FILE_EXIT:
        OnExitEditor();
        break;
    case ID_FILE_CHANGETOOLD:
        OnChangeToOld();
        break;
    default:
        // New, Open and the edit commands arrive with the design document.
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

void CQXPanMainDlg::OnSave()
{
    // Writing the panel file arrives with the panel file format.
}
