// The main dialog's Arrange menu: selecting several objects, lining them up, the grid that
// moves and draws snap to, and filling a rectangle with keys.
#include "app/CQXPanApp.h"
#include "app/CQXPanMainDlg.h"
#include "objdlg/CQXPanFillDlg.h"
#include "reglib/QxCtrlIniFile.h"
#include "reglib/QxCtrlStore.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>

namespace {

// Our own section of the configuration store; the register's sections are left alone.
const QString kSection = QStringLiteral("QXPan");
const QString kGridShown = QStringLiteral("GridShown");
const QString kGridSpacing = QStringLiteral("GridSpacing");

} // namespace

void CQXPanMainDlg::CreateArrangeMenu()
{
    QMenu* menu = m_menuBar->addMenu(QStringLiteral("Arrange(&A)"));
    const auto add = [this, menu](const QString& text, int id, QKeySequence keys = {}) {
        if (id == 0)
            return menu->addSeparator();
        QAction* action = menu->addAction(text);
        action->setData(id);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [this, id] { OnArrangeCommand(id); });
        m_screenActions.append(action);
        return action;
    };
    add(QStringLiteral("Select All(&A)"), ID_ARRANGE_SELECT_ALL, Qt::CTRL | Qt::Key_A);
    const char* const ops[] = {"Align Left(&L)",
                               "Align Right(&R)",
                               "Align Top(&T)",
                               "Align Bottom(&B)",
                               "Align Horizontal Centres(&H)",
                               "Align Vertical Centres(&V)",
                               "Distribute Horizontally(&I)",
                               "Distribute Vertically(&D)",
                               "Same Width(&W)",
                               "Same Height(&E)",
                               "Same Size(&S)"};
    for (int k = 0; k <= ID_ARRANGE_LAST - ID_ARRANGE_FIRST; ++k) {
        if (k == 0 || k == 6 || k == 8)
            add({}, 0);
        add(QString::fromLatin1(ops[k]), ID_ARRANGE_FIRST + k);
    }
    add({}, 0);
    m_gridActions[ID_ARRANGE_GRID] =
        add(QStringLiteral("Grid and Snap(&G)"), ID_ARRANGE_GRID, Qt::CTRL | Qt::Key_G);
    for (int id = ID_ARRANGE_GRID_8; id <= ID_ARRANGE_GRID_32; ++id)
        m_gridActions[id] =
            add(QStringLiteral("Grid of %1 Pixels").arg(8 << (id - ID_ARRANGE_GRID_8)), id);
    m_gridActions[ID_ARRANGE_GRID_TYPED] =
        add(QStringLiteral("Grid of Other Pixels...(&O)"), ID_ARRANGE_GRID_TYPED);
    for (QAction* action : std::as_const(m_gridActions))
        action->setCheckable(true);
    add({}, 0);
    add(QStringLiteral("Fill with Keys...(&K)"), ID_ARRANGE_FILL);
    m_DesignDlg.SetArrangeMenu(menu);
    SetGrid(false, m_DesignDlg.GridSpacing());
}

void CQXPanMainDlg::OnArrangeCommand(int id)
{
    if (id == ID_ARRANGE_SELECT_ALL) {
        m_DesignDlg.SelectAll();
    } else if (id >= ID_ARRANGE_FIRST && id <= ID_ARRANGE_LAST) {
        m_DesignDlg.OnCommand(id);
    } else if (id == ID_ARRANGE_GRID) {
        ChooseGrid(!m_DesignDlg.GridShown(), m_DesignDlg.GridSpacing());
    } else if (id >= ID_ARRANGE_GRID_8 && id <= ID_ARRANGE_GRID_32) {
        // Choosing a spacing shows the grid.
        ChooseGrid(true, 8 << (id - ID_ARRANGE_GRID_8));
    } else if (id == ID_ARRANGE_GRID_TYPED) {
        bool ok = false;
        const int spacing = QInputDialog::getInt(this, QStringLiteral("Grid"),
                                                 QStringLiteral("Grid spacing in register pixels:"),
                                                 m_DesignDlg.GridSpacing(), 2, 256, 1, &ok);
        // Cancelled: the items go back to ticking what is shown.
        ok ? ChooseGrid(true, spacing)
           : SetGrid(m_DesignDlg.GridShown(), m_DesignDlg.GridSpacing());
    } else if (id == ID_ARRANGE_FILL) {
        CQXPanFillDlg dlg(this);
        if (dlg.exec() == QDialog::Accepted)
            m_DesignDlg.FillWithKeys(dlg.Rows(), dlg.Columns(), dlg.Gap());
    }
}

void CQXPanMainDlg::ChooseGrid(bool bShown, int nSpacing)
{
    SetGrid(bShown, nSpacing);
    if (!m_pApp)
        return;
    const FileResult stored = m_pApp->Store().Update(
        kSection, {{kGridShown, bShown ? 1 : 0}, {kGridSpacing, m_DesignDlg.GridSpacing()}});
    if (!stored)
        ShowRefusal(
            QStringLiteral("The grid is not remembered for the next start: %1").arg(stored.Text()));
}

void CQXPanMainDlg::LoadGridSettings()
{
    const QxCtrlIniFile* file = m_pApp ? m_pApp->Store().File() : nullptr;
    if (!file)
        return;
    const int spacing = file->Value(kSection, kGridSpacing).toInt();
    SetGrid(file->Value(kSection, kGridShown).toInt() == 1,
            spacing >= 2 ? spacing : m_DesignDlg.GridSpacing());
}

void CQXPanMainDlg::SetGrid(bool bShown, int nSpacing)
{
    m_DesignDlg.SetGrid(bShown, nSpacing);
    m_gridActions.value(ID_ARRANGE_GRID)->setChecked(bShown);
    bool listed = false;
    for (int id = ID_ARRANGE_GRID_8; id <= ID_ARRANGE_GRID_32; ++id) {
        const bool chosen = m_DesignDlg.GridSpacing() == 8 << (id - ID_ARRANGE_GRID_8);
        m_gridActions.value(id)->setChecked(chosen);
        listed = listed || chosen;
    }
    // A typed spacing shows in the item's text.
    QAction* typed = m_gridActions.value(ID_ARRANGE_GRID_TYPED);
    typed->setChecked(!listed);
    typed->setText(listed
                       ? QStringLiteral("Grid of Other Pixels...(&O)")
                       : QStringLiteral("Grid of %1 Pixels...(&O)").arg(m_DesignDlg.GridSpacing()));
}
