#include "FavoriteEditDialog.h"

#include "common/MessageBoxes.h"
#include "common/Twips.h"
#include "favorites/FavoritesModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const FavoriteDialog::Shape kShape{"frmFavEdit", "Edit Favorite", 6030, 2490, 120, 1440, 1320, 3120,
                                   "cmdApply", "Apply Changes"};
// The note about a change made elsewhere goes under the buttons.
constexpr double kNoteTop = 2040, kNoteHeight = 735;
} // namespace

FavoriteEditDialog::FavoriteEditDialog(FavoritesModel *model, int index, QWidget *window)
    : FavoriteDialog(kShape, model)
    , m_index(index)
{
    setTabOrder(m_url, m_name);
    setTabOrder(m_name, m_action);
    setTabOrder(m_action, m_cancel);
    connect(m_action, &QPushButton::clicked, this, &FavoriteEditDialog::onApplyClicked);
    connect(m_model, &FavoritesModel::changed, this, &FavoriteEditDialog::followFavorite);
    serve(window);
    if (const std::optional<FavoritesModel::Favorite> favorite = m_model->at(index)) {
        m_storedName = favorite->name;
        m_storedUrl = favorite->url;
    }
    m_name->setText(m_storedName);
    m_url->setText(m_storedUrl);
    m_url->setFocus();
}

void FavoriteEditDialog::followFavorite()
{
    if (m_index < 0)
        return;
    // The file changed: find the favorite this dialog was opened for, which
    // may have moved.
    const int at = m_model->indexOf({m_storedName, m_storedUrl}, m_index);
    if (at >= 0) {
        m_index = at;
        return;
    }
    // Still in its row with its name or its address: changed elsewhere.
    const std::optional<FavoritesModel::Favorite> now = m_model->at(m_index);
    if (now && (now->name == m_storedName || now->url == m_storedUrl)) {
        m_storedName = now->name;
        m_storedUrl = now->url;
        tell(QStringLiteral("Another program changed this favorite to %1 [%2]. Apply Changes replaces that "
                            "with what you typed.")
                 .arg(now->name, now->url));
        return;
    }
    m_index = -1;
    tell(QStringLiteral("Another program deleted this favorite. Apply Changes adds it back."));
}

void FavoriteEditDialog::tell(const QString &note)
{
    if (!m_note) {
        m_note = Twips::place(new QLabel(this), "lblChanged", 120, kNoteTop, kShape.clientWidth - 240, kNoteHeight);
        // Names and addresses are anybody's text, not markup.
        m_note->setTextFormat(Qt::PlainText);
        m_note->setWordWrap(true);
        setFixedSize(width(), height() + Twips::toPixels(kNoteHeight + 120));
    }
    m_note->setText(note);
    m_note->show();
}

void FavoriteEditDialog::onApplyClicked()
{
    // The favorite the dialog was opened for, wherever it is now and
    // whatever is selected.
    if (m_index >= 0) {
        QString error;
        switch (m_model->update(m_index, {m_storedName, m_storedUrl}, m_name->text(), m_url->text(), &error)) {
        case FavoritesModel::Outcome::Done:
            close();
            return;
        case FavoritesModel::Outcome::NotSaved:
            showSaveError(this, error);
            return;
        case FavoritesModel::Outcome::Gone:
            m_index = -1;
            break;
        }
    }
    if (offerToAddBack())
        close();
}

bool FavoriteEditDialog::offerToAddBack()
{
    // What the user typed is neither thrown away nor stored without asking.
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Edit Favorite"),
                    QStringLiteral("Another program deleted this favorite. Add it back as you typed it?"),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName(QStringLiteral("AddBackPrompt"));
    ask.setDefaultButton(QMessageBox::Yes);
    if (ask.exec() != QMessageBox::Yes)
        return false;
    QString error;
    if (!m_model->add(m_name->text(), m_url->text(), &error)) {
        showSaveError(this, error);
        return false;
    }
    return true;
}
