#pragma once

#include <QDialog>

class QSpinBox;

/// "Fill with Keys": how many rows and columns of keys, and the gap between them in register
/// pixels, fill the selected rectangle.
class CQXPanFillDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CQXPanFillDlg(QWidget* parent = nullptr);

    int Rows() const;
    int Columns() const;
    int Gap() const;

    QSpinBox* m_spRows;
    QSpinBox* m_spColumns;
    QSpinBox* m_spGap;
};
