#include "uikit/QtUserInteraction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString kShell = QStringLiteral("/bin/sh");

// The box shown while a program runs, or null when none is up.
QProgressDialog* WaitingBox()
{
    return qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
}

TEST(QtUserInteractionWait, EventsRunDuringTheWaitBehindAModalBox)
{
    QObject guard; // cancels the timer if the test ends without it
    bool timerFired = false;
    bool programStillRunning = false;
    QString boxText;
    QTimer::singleShot(50, &guard, [&] {
        timerFired = true;
        if (QProgressDialog* box = WaitingBox()) {
            boxText = box->labelText();
            programStillRunning = box->isVisible();
        }
    });

    QElapsedTimer clock;
    clock.start();
    QtUserInteraction ui;
    const auto run =
        ui.StartAndWait(kShell, {QStringLiteral("-c"), QStringLiteral("sleep 0.3; exit 4")});

    EXPECT_TRUE(timerFired);
    EXPECT_TRUE(programStillRunning);
    EXPECT_EQ(boxText, QString::fromUtf8("Waiting for the bitmap editor to close\u2026"));
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtUserInteractionWait, ClosingTheBoxDoesNotEndTheWait)
{
    QObject guard;
    QPointer<QProgressDialog> closedBox;
    bool sawBox = false;
    bool backAfterClose = false;
    bool backAfterReject = false;
    QTimer::singleShot(50, &guard, [&] {
        closedBox = WaitingBox();
        sawBox = !closedBox.isNull();
        if (closedBox) {
            closedBox->close();
            backAfterClose = closedBox && closedBox->isVisible();
        }
    });
    QTimer::singleShot(120, &guard, [&] {
        if (QProgressDialog* box = WaitingBox()) {
            box->reject();
            backAfterReject = box->isVisible() && WaitingBox() == box;
        }
    });

    QElapsedTimer clock;
    clock.start();
    QtUserInteraction ui;
    const auto run =
        ui.StartAndWait(kShell, {QStringLiteral("-c"), QStringLiteral("sleep 0.4; exit 0")});

    EXPECT_TRUE(sawBox);
    EXPECT_TRUE(backAfterClose);
    EXPECT_TRUE(backAfterReject);
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtUserInteractionWait, StopWaitingReturnsAtOnceAndTheProgramGoesOn)
{
    QTemporaryDir dir;
    const QString done = dir.filePath(QStringLiteral("done"));
    QObject guard;
    bool clicked = false;
    QTimer::singleShot(100, &guard, [&] {
        QProgressDialog* box = WaitingBox();
        if (!box)
            return;
        for (QPushButton* button : box->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("Stop Waiting")) {
                QTest::mouseClick(button, Qt::LeftButton);
                clicked = true;
            }
        }
    });
    QElapsedTimer clock;
    clock.start();
    QtUserInteraction ui;
    const auto run = ui.StartAndWait(
        kShell, {QStringLiteral("-c"), QStringLiteral("sleep 2; touch '%1'").arg(done)});
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(run.started);
    EXPECT_LT(clock.elapsed(), 1800);
    EXPECT_FALSE(QFile::exists(done));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The program was not killed: it ends on its own.
    EXPECT_TRUE(QTest::qWaitFor([&done] { return QFile::exists(done); }, 8000));
    QTest::qWait(50);
}

TEST(QtUserInteractionBox, AShortMessageLeavesRoomForItsTitle)
{
    QObject guard;
    int width = 0;
    QTimer::singleShot(0, &guard, [&width] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            width = box->width();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    QtUserInteraction real;
    UserInteraction& ui = real;
    EXPECT_EQ(ui.MessageBox(QStringLiteral("Normal end")), UserInteraction::IDOK);
    // The caption beside a title bar's icon and three buttons, some 32 pixels each.
    const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    EXPECT_GE(width, QFontMetrics(titleFont).horizontalAdvance(QStringLiteral("QXPan")) + 4 * 32);
}

TEST(QtUserInteractionWait, MissingOrCrashedProgram)
{
    QtUserInteraction ui;
    QElapsedTimer clock;
    clock.start();
    const auto missing = ui.StartAndWait(QStringLiteral("/nonexistent/qxpan-editor"), {});
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.exitCode, -1);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A program killed by a signal ran, but has no exit code to report.
    const auto killed =
        ui.StartAndWait(kShell, {QStringLiteral("-c"), QStringLiteral("kill -9 $$")});
    EXPECT_TRUE(killed.started);
    EXPECT_EQ(killed.exitCode, -1);
}

} // namespace
