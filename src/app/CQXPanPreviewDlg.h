#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QScrollArea;

/// "Register Preview": a window beside the editor that shows the register screen at its own
/// size, 1024 x 768, scrollable when the desktop is smaller.
class CQXPanPreviewDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CQXPanPreviewDlg(QWidget* parent = nullptr);
    ~CQXPanPreviewDlg() override;

    /// Shows picture pixel for pixel in place of the one shown before.
    void SetPicture(const QImage& picture);
    /// The picture shown.
    const QImage& Picture() const { return m_picture; }

signals:
    /// Ctrl+R in this window: the editor is asked to bring the picture up to date.
    void RefreshRequested();

private:
    QImage m_picture;
    QLabel* m_view = nullptr;
    QScrollArea* m_scroll = nullptr;
};
