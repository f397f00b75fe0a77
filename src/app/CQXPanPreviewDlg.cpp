#include "app/CQXPanPreviewDlg.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>

CQXPanPreviewDlg::CQXPanPreviewDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Register Preview"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_view = new QLabel(m_scroll);
    m_view->setObjectName(QStringLiteral("previewPicture"));
    m_view->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // One picture pixel on one screen pixel: never scaled.
    m_view->setScaledContents(false);
    m_scroll->setWidget(m_view);
    layout->addWidget(m_scroll);
    // The same key as in the editor, so a look, a change and another look need no mouse.
    auto* refresh = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(refresh, &QShortcut::activated, this, &CQXPanPreviewDlg::RefreshRequested);
}

CQXPanPreviewDlg::~CQXPanPreviewDlg() = default;

void CQXPanPreviewDlg::SetPicture(const QImage& picture)
{
    m_picture = picture;
    QPixmap pixmap = QPixmap::fromImage(picture);
    // On a scaled desktop the pixmap still covers exactly its own number of device pixels.
    pixmap.setDevicePixelRatio(devicePixelRatioF());
    m_view->setPixmap(pixmap);
    m_view->resize(pixmap.deviceIndependentSize().toSize());

    // As large as the picture, as far as the desktop allows; scroll bars for the rest.
    QSize wanted = m_view->size() + QSize(2, 2);
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(std::max(wanted.width(), 200), std::max(wanted.height(), 150));
}
