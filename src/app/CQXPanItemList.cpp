#include "app/CQXPanItemList.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

CQXPanItemList::CQXPanItemList(QWidget* parent) : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    // Column widths come from the header texts; a width of 0 hides a column.
    header()->setStretchLastSection(false);
    header()->setMinimumSectionSize(0);
    header()->setSectionsMovable(false);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                for (const QModelIndex& index : selected.indexes()) {
                    if (index.column() == 0 && !index.parent().isValid())
                        emit ItemChosen(index.row());
                }
            });
}

void CQXPanItemList::mousePressEvent(QMouseEvent* event)
{
    m_dragPos = -1;
    if (event->button() == Qt::LeftButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
            m_dragPos = indexOfTopLevelItem(item);
            m_dragStart = event->position().toPoint();
        }
    }
    QTreeWidget::mousePressEvent(event);
}

void CQXPanItemList::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragPos >= 0 && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_dragStart).manhattanLength() >=
            QApplication::startDragDistance()) {
        const int pos = m_dragPos;
        m_dragPos = -1;
        // The drag is the window's; the list must not go on selecting under the pointer.
        emit DragStarted(pos);
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void CQXPanItemList::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragPos = -1;
    QTreeWidget::mouseReleaseEvent(event);
}
