#pragma once

#include <QLabel>
#include <QPoint>
#include <QString>
#include <QTimer>

class CQXPanDesignDlg;

/// The line under the design area: the pointer in register pixels and, while an object is
/// selected, dragged or drawn, its register rectangle and what it is.
class CQXPanPositionReadout : public QLabel
{
    Q_OBJECT

public:
    explicit CQXPanPositionReadout(QWidget* parent = nullptr);
    ~CQXPanPositionReadout() override;

    /// Follows the pointer and the selection of design from now on.
    void Attach(CQXPanDesignDlg* design);

    /// "Pointer x, y" in register pixels; empty while the pointer is not over the design area.
    const QString& PointerText() const { return m_pointerText; }
    /// The selected or tracked object, e.g. "System Key(Rectangle) code 045 no. 0: X1 128 Y1 128
    /// X2 256 Y2 192, 128 × 64"; empty while there is none.
    const QString& ObjectText() const { return m_objectText; }

    /// Recomputes the object part from the design area's selection frame.
    void RefreshObject();
    /// Shows why something did nothing, in place of the position, for a few seconds.
    void ShowNote(const QString& text);
    /// The note shown now; empty when none.
    const QString& NoteText() const { return m_noteText; }

private:
    void SetPointer(QPoint designPt);
    void ClearPointer();
    void ShowTexts();

    CQXPanDesignDlg* m_design = nullptr;
    QString m_pointerText;
    QString m_objectText;
    QString m_noteText;
    QTimer m_noteTimer;
};
