#include "FavoriteAddDialog.h"

#include "favorites/FavoritesModel.h"
#include "window/BrowserView.h"
#include "common/MessageBoxes.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
const FavoriteDialog::Shape kShape{"frmFavAdd", "Add Favorite", 6375, 2385, 240, 1560, 1440, 3240,
                                   "cmdAdd", "Add"};
} // namespace

FavoriteAddDialog::FavoriteAddDialog(FavoritesModel *model)
    : FavoriteDialog(kShape, model)
{
    setTabOrder(m_cancel, m_action);
    setTabOrder(m_action, m_name);
    setTabOrder(m_name, m_url);
    connect(m_action, &QPushButton::clicked, this, &FavoriteAddDialog::onAddClicked);
    m_cancel->setFocus();
}

void FavoriteAddDialog::serve(QWidget *window, BrowserView *view)
{
    FavoriteDialog::serve(window);
    m_view = view;
    m_linkAddress.clear();
    // Offscreen and some window managers never activate; the boxes must
    // still show the page.
    showPage();
}

void FavoriteAddDialog::serveLink(QWidget *window, const QString &name, const QString &address)
{
    FavoriteDialog::serve(window);
    m_view = nullptr;
    // A link's text is the page's: one line, of a length a name can have.
    constexpr int kLongestName = 1000;
    m_linkName = name.simplified().left(kLongestName);
    m_linkAddress = address;
    showPage();
}

bool FavoriteAddDialog::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        showPage();
    return FavoriteDialog::event(e);
}

void FavoriteAddDialog::showPage()
{
    if (!m_linkAddress.isEmpty()) {
        m_url->setText(m_linkAddress);
        m_name->setText(m_linkName);
        return;
    }
    if (!m_view)
        return;
    m_url->setText(m_view->address());
    m_name->setText(m_view->title());
}

void FavoriteAddDialog::onAddClicked()
{
    // When it cannot be stored the dialog stays, with what the user typed.
    QString error;
    if (!m_model->add(m_name->text(), m_url->text(), &error)) {
        showSaveError(this, error);
        return;
    }
    close();
}
