#pragma once

#include <QWidget>

class CQXPanApp;

/// The design area: a child window under the main dialog's "Design Area" label on which the
/// screen is composed. For now it only holds its place and the modified mark.
class CQXPanDesignDlg : public QWidget
{
    Q_OBJECT

public:
    explicit CQXPanDesignDlg(QWidget* parent = nullptr);
    ~CQXPanDesignDlg() override;

    CQXPanApp* m_pApp = nullptr;
    int m_bModified = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
};
