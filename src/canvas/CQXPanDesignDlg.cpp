#include "canvas/CQXPanDesignDlg.h"

#include <QPainter>

CQXPanDesignDlg::CQXPanDesignDlg(QWidget* parent) : QWidget(parent)
{
    // Created hidden; the main dialog places and shows it.
    setVisible(false);
}

CQXPanDesignDlg::~CQXPanDesignDlg() = default;

void CQXPanDesignDlg::paintEvent(QPaintEvent*)
{
    // The window's one-pixel border.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
