#pragma once

#include "window/PageSite.h"

#include <QLabel>

// The page's site on the button row, where the page cannot write. A name
// longer than the room loses its beginning, never its end (the end of a host
// or a path says the most), and never pushes the buttons; the whole text
// stays the label's accessible name and tooltip.
class SiteLabel : public QLabel
{
public:
    explicit SiteLabel(QWidget *parent);

    void setSite(const PageSite &site);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    void showFitted();

    PageSite m_site;
};
