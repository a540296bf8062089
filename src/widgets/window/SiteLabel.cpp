#include "SiteLabel.h"

SiteLabel::SiteLabel(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAccessibleName(QStringLiteral("Site"));
    setAccessibleDescription(QStringLiteral("Where the page comes from"));
}

void SiteLabel::setSite(const PageSite &site)
{
    if (site == m_site)
        return;
    m_site = site;
    // A blank page has no site; the label keeps a name for a screen reader.
    setAccessibleName(site.text().isEmpty() ? QStringLiteral("Site") : site.text());
    setToolTip(site.text());
    showFitted();
}

void SiteLabel::resizeEvent(QResizeEvent *e)
{
    QLabel::resizeEvent(e);
    showFitted();
}

void SiteLabel::showFitted()
{
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width();
    const QString whole = m_site.text();
    QString shown = whole;
    if (metrics.horizontalAdvance(whole) > room) {
        const QString prefix = m_site.prefix();
        const int nameRoom = room - metrics.horizontalAdvance(prefix);
        const QString name = metrics.elidedText(m_site.name, Qt::ElideLeft, nameRoom);
        shown = nameRoom > 0 && !name.isEmpty() ? prefix + name : metrics.elidedText(whole, Qt::ElideRight, room);
    }
    setText(shown);
}
