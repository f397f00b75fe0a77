#pragma once

#include <QPoint>
#include <QTreeWidget>

/// The item list of the main window: the rows of the chosen object type in up to three columns.
/// It reports a row chosen (by click, keys or program) and the start of a row drag with the left
/// button; the window decides what they mean.
class CQXPanItemList : public QTreeWidget
{
    Q_OBJECT

public:
    explicit CQXPanItemList(QWidget* parent = nullptr);

signals:
    /// Row nPos (0 = the first data row) became the selected one.
    void ItemChosen(int nPos);
    /// The left button, pressed on row nPos, moved far enough to start a drag.
    void DragStarted(int nPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint m_dragStart;
    int m_dragPos = -1;
};
