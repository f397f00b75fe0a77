#include "objdlg/CQXPanFillDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace {

QSpinBox* Box(QWidget* parent, int value, int maximum)
{
    auto* box = new QSpinBox(parent);
    box->setRange(value == 0 ? 0 : 1, maximum);
    box->setValue(value);
    return box;
}

} // namespace

CQXPanFillDlg::CQXPanFillDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Fill with Keys"));
    // A check window holds 80 keys at most; the gap is in register pixels.
    m_spRows = Box(this, 4, 80);
    m_spColumns = Box(this, 5, 80);
    m_spGap = Box(this, 8, 512);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Rows:"), m_spRows);
    form->addRow(QStringLiteral("&Columns:"), m_spColumns);
    form->addRow(QStringLiteral("&Gap (register pixels):"), m_spGap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CQXPanFillDlg::Rows() const
{
    return m_spRows->value();
}

int CQXPanFillDlg::Columns() const
{
    return m_spColumns->value();
}

int CQXPanFillDlg::Gap() const
{
    return m_spGap->value();
}
