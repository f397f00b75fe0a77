#pragma once

#include "reglib/QxCtrlStore.h"

#include <QString>

/// Register base information.
class CDefBaseInfo
{
public:
    explicit CDefBaseInfo(const QxCtrlStore& store);

    /// Fills the capability word of a register (0 when the register is not in the store).
    void GetECRQX27Func(const QString& ecr, quint32& flags);

private:
    QxCtrlStore m_store;
};
