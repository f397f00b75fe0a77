// The main dialog: its menu, start-up, commands and exit.
#include "app/CQXPanMainDlg.h"

#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlgParts.h"
#include "app/CQXPanPreviewDlg.h"
#include "app/CQXPanWindowPlacement.h"
#include "app/DesktopEntry.h"
#include "branch/BranchEnvironment.h"
#include "canvas/CQXPanPositionReadout.h"
#include "document/CQXPanUndoCommands.h"
#include "library/CQXPgco.h"
#include "refdata/CQXPanRefLists.h"
#include "reglib/QxCtrlTypes.h"
#include "uikit/DialogUnits.h"
#include "uikit/UserInteraction.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

using namespace MainDlgParts;

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
    CreateArrangeMenu();
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
    LoadGridSettings();
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

void CQXPanMainDlg::ShowFileResult(const FileResult& result)
{
    const FileMessage message = result.Message();
    if (message.text.isEmpty() || !m_pApp || !m_pApp->Ui())
        return;
    m_pApp->Ui()->MessageBox(
        message.text, message.title.isEmpty() ? QString::fromLatin1(kAppName) : message.title,
        UserInteraction::MB_OK, ToBoxIcon(message.icon));
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
        const bool onArea = target == &m_DesignDlg || m_DesignDlg.isAncestorOf(target);
        const bool keep = onArea && m_DesignDlg.KeepsSelectionOnPress(
                                        target->mapTo(&m_DesignDlg, mouse->position().toPoint()),
                                        mouse->modifiers());
        if (mouse->button() == Qt::LeftButton && isAncestorOf(target) && !menu && !keep &&
            target != GetDlgItem(IDC_DELETE))
            m_DesignDlg.Deselect();
    }
    return QDialog::eventFilter(watched, event);
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
        OnArrangeCommand(id);
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
