#pragma once

#include <QDialog>
#include <QString>

#include "reglib/QxCtrlStore.h"

class QLabel;

/// The communication dialog: hands a register screen file to the register, or takes one from
/// it, through the exchange folder named in the configuration store.
class CQXPgco : public QDialog
{
    Q_OBJECT

public:
    quint32 m_dwMode = 0; // 1 send, 2 receive
    QString m_strCommand; // "/SEND \"path\"" or "/RECEIVE"
    quint32 m_dwFunc = 0; // the register's capability word

    explicit CQXPgco(const QxCtrlStore& store, QWidget* parent = nullptr);

    /// Runs the transfer; closes the dialog when it worked, else shows why and stays open.
    void accept() override;

    /// The text of the status line (the last failure, or empty).
    QString statusText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void describe();
    bool send(const QString& exchange, QString& message);
    bool receive(const QString& exchange, QString& message);

    QxCtrlStore m_store;
    QLabel* m_description = nullptr;
    QLabel* m_status = nullptr;
};
