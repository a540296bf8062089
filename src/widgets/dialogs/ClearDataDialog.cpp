#include "ClearDataDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ClearDataDialog::ClearDataDialog(const QList<ClearableData> &entries, const QStringList &clearedOnClose,
                                 QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmClearData"));
    setWindowTitle(QStringLiteral("Clear Browsing Data"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *column = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Clear what Kestrel keeps of your browsing:"), this);
    column->addWidget(intro);
    QStringList notes;
    for (const ClearableData &entry : entries) {
        auto *box = new QCheckBox(entry.caption, this);
        box->setObjectName(QStringLiteral("chk") + entry.name);
        box->setChecked(clearedOnClose.isEmpty() ? entry.checkedByDefault : clearedOnClose.contains(entry.name));
        column->addWidget(box);
        m_boxes << qMakePair(entry.name, box);
        if (!entry.note.isEmpty())
            notes << entry.note;
    }
    m_onClose = new QCheckBox(QStringLiteral("Clear these &whenever Kestrel closes"), this);
    m_onClose->setObjectName(QStringLiteral("chkClearOnClose"));
    m_onClose->setChecked(!clearedOnClose.isEmpty());
    column->addSpacing(8);
    column->addWidget(m_onClose);
    if (!notes.isEmpty()) {
        auto *note = new QLabel(notes.join(QLatin1Char(' ')), this);
        note->setObjectName(QStringLiteral("lblNote"));
        note->setWordWrap(true);
        column->addWidget(note);
    }
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *clear = buttons->addButton(QStringLiteral("C&lear"), QDialogButtonBox::AcceptRole);
    clear->setObjectName(QStringLiteral("cmdClear"));
    clear->setDefault(true);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        QStringList names;
        for (const auto &[name, box] : m_boxes) {
            if (box->isChecked())
                names << name;
        }
        emit clearRequested(names, m_onClose->isChecked());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}
