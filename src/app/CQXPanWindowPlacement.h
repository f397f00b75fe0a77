#pragma once

#include "reglib/QxCtrlTypes.h"

#include <QObject>
#include <QRect>
#include <QTimer>

class QWidget;

/// Keeps a window's outer rectangle, frame included, as the screen definition table stores it.
/// Qt sizes a window by its inside, and the window manager's frame is known only some time after
/// the window is shown; so a restored rectangle is corrected once the frame is known, and the
/// window keeps its size over any number of runs.
class CQXPanWindowPlacement : public QObject
{
public:
    explicit CQXPanWindowPlacement(QWidget* window);

    /// The window's outer rectangle; before it is shown, where it would appear (centred).
    QxRect Current() const;
    /// Puts the window's outer rectangle at rc, now and again once the frame is known.
    void Restore(const QxRect& rc);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Sets the inner size from the frame, when the frame is known; then stops watching.
    void Fit();

    QWidget* m_window = nullptr;
    QRect m_target;
    bool m_bPending = false;
    int m_nPolls = 0;
    QTimer m_poll;
};
