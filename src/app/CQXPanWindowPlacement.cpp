#include "app/CQXPanWindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// How long to look for the window manager's frame after the window shows: 250 polls of 20 ms.
// A frame told later still comes with a move or resize, which fits the window then.
constexpr int kPollInterval = 20;
constexpr int kMaxPolls = 250;

} // namespace

CQXPanWindowPlacement::CQXPanWindowPlacement(QWidget* window) : QObject(window), m_window(window)
{
    m_window->installEventFilter(this);
    m_poll.setInterval(kPollInterval);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (++m_nPolls >= kMaxPolls)
            m_poll.stop();
        Fit();
    });
}

QxRect CQXPanWindowPlacement::Current() const
{
    QRect frame =
        m_window->isVisible() ? m_window->frameGeometry() : QRect(QPoint(0, 0), m_window->size());
    if (!m_window->isVisible()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            frame.moveCenter(screen->availableGeometry().center());
    }
    return QxRect{frame.left(), frame.top(), frame.left() + frame.width(),
                  frame.top() + frame.height()};
}

void CQXPanWindowPlacement::Restore(const QxRect& rc)
{
    m_target = QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    const QSize frame =
        m_window->isVisible() ? m_window->frameGeometry().size() - m_window->size() : QSize();
    // move() places the outer rectangle, resize() the inside.
    m_window->move(m_target.topLeft());
    m_window->resize(m_target.size() - frame);
    m_bPending = true;
    m_nPolls = 0;
    if (m_window->isVisible())
        Fit();
}

bool CQXPanWindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && m_bPending) {
        switch (event->type()) {
        case QEvent::Show:
            // Some platforms know the frame at once, window managers tell it a little later.
            QTimer::singleShot(0, this, &CQXPanWindowPlacement::Fit);
            if (!m_poll.isActive())
                m_poll.start();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            // The window manager's answers come as moves and resizes.
            if (m_window->isVisible())
                Fit();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CQXPanWindowPlacement::Fit()
{
    if (!m_bPending || !m_window->isVisible())
        return;
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    if (frame.isNull())
        return;
    m_bPending = false;
    m_poll.stop();
    const QSize inside = m_target.size() - frame;
    if (m_window->size() != inside)
        m_window->resize(inside);
    if (m_window->pos() != m_target.topLeft())
        m_window->move(m_target.topLeft());
}
