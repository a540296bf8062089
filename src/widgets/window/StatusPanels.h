#pragma once

#include <QFrame>
#include <QRect>

class QLabel;

// A status bar of two sunken panels: panel 1 for the status text takes what
// panel 2 (a fixed 1440 twips, under the progress bar) leaves.
class StatusPanels : public QFrame
{
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;
    // Panel geometry within the status bar, panels numbered from 1.
    QRect panelRect(int panel) const;

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    QLabel *m_panels[2];
};
