#include "Twips.h"

#include <QGuiApplication>
#include <QHash>
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <cmath>

namespace Twips {

double dpi()
{
    static const double value = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const double d = screen ? screen->logicalDotsPerInch() : 96.0;
        return d > 0 ? d : 96.0;
    }();
    return value;
}

int toPixels(double twips)
{
    return int(std::lround(twips * dpi() / 1440.0));
}

double fromPixels(int pixels)
{
    return pixels * 1440.0 / dpi();
}

QRect toPixels(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

namespace {

// What the control's text needs to be seen whole: the text itself with a
// little room around it, not the style's preferred, roomier size.
QSize neededSize(QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    if (auto *b = qobject_cast<QPushButton *>(w)) {
        if (b->text().isEmpty())
            return QSize();
        const QString shown = QString(b->text()).remove(QLatin1Char('&'));
        const int frame = w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
        return QSize(fm.horizontalAdvance(shown) + 2 * (frame + 4), fm.height() + 2 * frame);
    }
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text().isEmpty() ? QSize() : b->sizeHint();
    if (auto *l = qobject_cast<QLabel *>(w)) {
        if (l->text().isEmpty())
            return QSize();
        return l->wordWrap() ? QSize(0, l->heightForWidth(w->width())) : l->sizeHint();
    }
    if (qobject_cast<QLineEdit *>(w))
        return QSize(0, w->minimumSizeHint().height());
    if (qobject_cast<QComboBox *>(w))
        return QSize(0, fm.height() + 4);
    return QSize();
}

bool sameRow(const QRect &a, const QRect &b)
{
    return a.top() < b.bottom() && b.top() < a.bottom();
}

} // namespace

namespace {

// Grows each captioned control that is smaller than its text; returns them
// with their designed places.
QList<QWidget *> growControls(QWidget *window, QHash<QWidget *, QRect> &designed)
{
    QList<QWidget *> placed;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // Controls in a layout are sized by it; the combo box's own line edit by the box.
        QWidget *parent = w->parentWidget();
        if (w->isWindow() || !parent || parent->layout() || qobject_cast<QComboBox *>(parent))
            continue;
        const QSize need = neededSize(w);
        if (need.width() <= 0 && need.height() <= 0)
            continue;
        placed << w;
        designed.insert(w, w->geometry());
        if (w->width() < need.width() || w->height() < need.height())
            w->resize(qMax(w->width(), need.width()), qMax(w->height(), need.height()));
    }
    return placed;
}

// Moves a neighbour that a grown control now runs into along its row.
void pushAlongRows(QList<QWidget *> placed, const QHash<QWidget *, QRect> &designed)
{
    // Left to right, so a push travels along the row.
    std::sort(placed.begin(), placed.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
    for (QWidget *grown : std::as_const(placed)) {
        for (QWidget *next : std::as_const(placed)) {
            // Only what the growth made overlap moves; the design's own overlaps stay.
            if (next == grown || next->parentWidget() != grown->parentWidget() || next->x() <= grown->x()
                || !sameRow(grown->geometry(), next->geometry())
                || designed.value(grown).intersects(designed.value(next)))
                continue;
            const int overlap = grown->geometry().right() + 1 - next->x();
            if (overlap > 0)
                next->move(next->x() + overlap + toPixels(60), next->y());
        }
    }
}

// Grows the container of `w` to hold it, and so on outwards: a tab page
// grows through its tab control. Areas a layout sizes are left to it.
void growContainers(QWidget *window, QWidget *w)
{
    for (QWidget *parent = w->parentWidget(); parent && parent != window; parent = w->parentWidget()) {
        QWidget *outer = parent->parentWidget();
        if (!outer)
            return;
        QWidget *grows = parent;
        QSize room = parent->size();
        if (auto *tabs = qobject_cast<QTabWidget *>(outer->parentWidget()); tabs && qobject_cast<QStackedWidget *>(outer)) {
            // A page not yet shown has no size of its own: its room is the tab control's.
            grows = tabs;
            const int frame = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
            room = QSize(tabs->width() - 2 * frame, tabs->height() - tabs->tabBar()->sizeHint().height() - 2 * frame);
        } else if (outer->layout()) {
            return;
        }
        const int margin = toPixels(60);
        const QSize need(w->geometry().right() + 1 + margin, w->geometry().bottom() + 1 + margin);
        const QSize delta = (need - room).expandedTo(QSize(0, 0));
        if (delta.isNull())
            return;
        grows->resize(grows->size() + delta);
        w = grows;
    }
}

// A fixed-size window grows to hold its controls.
void growFixedWindow(QWidget *window)
{
    if (window->minimumSize() != window->maximumSize() || window->minimumSize().isEmpty())
        return;
    QSize size = window->size();
    const int margin = toPixels(120);
    for (QWidget *w : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!w->isWindow())
            size = size.expandedTo(QSize(w->geometry().right() + 1 + margin, w->geometry().bottom() + 1 + margin));
    }
    window->setFixedSize(size);
}

} // namespace

void fitToCaptions(QWidget *window)
{
    QHash<QWidget *, QRect> designed;
    const QList<QWidget *> placed = growControls(window, designed);
    pushAlongRows(placed, designed);
    for (QWidget *w : placed)
        growContainers(window, w);
    growFixedWindow(window);
}

} // namespace Twips
