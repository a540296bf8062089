#pragma once

#include "window/BrowsingData.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;

// Clear Browsing Data: a check box for each thing Kestrel keeps (the host's
// list), and whether to clear the chosen ones whenever Kestrel closes. The
// boxes start as the user left them for clearing at close, else at their
// defaults, so Enter clears what most users mean.
class ClearDataDialog : public QDialog
{
    Q_OBJECT
public:
    ClearDataDialog(const QList<ClearableData> &entries, const QStringList &clearedOnClose,
                    QWidget *parent = nullptr);

signals:
    // The names of the checked entries, and whether they go at each close.
    void clearRequested(const QStringList &names, bool alsoOnClose);

private:
    QList<QPair<QString, QCheckBox *>> m_boxes;
    QCheckBox *m_onClose = nullptr;
};
