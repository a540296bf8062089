#include "StatusPanels.h"

#include "common/Twips.h"

#include <QLabel>

StatusPanels::StatusPanels(QWidget *parent)
    : QFrame(parent)
{
    for (QLabel *&panel : m_panels) {
        panel = new QLabel(this);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setIndent(4);
        panel->setTextFormat(Qt::PlainText);
    }
    m_panels[0]->setObjectName(QStringLiteral("Panel1"));
    m_panels[1]->setObjectName(QStringLiteral("Panel2"));
    m_panels[0]->setAccessibleDescription(QStringLiteral("Status"));
    m_panels[1]->setAccessibleDescription(QStringLiteral("Loading progress"));
    setPanelText(1, QString());
    setPanelText(2, QString());
}

void StatusPanels::setPanelText(int panel, const QString &text)
{
    QLabel *label = m_panels[panel - 1];
    label->setText(text);
    // A screen reader reads a label by its name: the text while there is
    // one, what the panel is for while there is none.
    label->setAccessibleName(text.isEmpty() ? label->accessibleDescription() : text);
}

QString StatusPanels::panelText(int panel) const
{
    return m_panels[panel - 1]->text();
}

QRect StatusPanels::panelRect(int panel) const
{
    const int gap = 2;
    const int w2 = Twips::toPixels(1440);
    const int h = height() - 2 * gap;
    if (panel == 2)
        return QRect(width() - w2 - gap, gap, w2, h);
    return QRect(gap, gap, qMax(0, width() - w2 - 3 * gap), h);
}

void StatusPanels::resizeEvent(QResizeEvent *e)
{
    QFrame::resizeEvent(e);
    m_panels[0]->setGeometry(panelRect(1));
    m_panels[1]->setGeometry(panelRect(2));
}
