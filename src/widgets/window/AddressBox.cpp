#include "AddressBox.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QLineEdit>

namespace {
bool isEditingChord(const QKeyEvent *k)
{
    if (k->modifiers() != Qt::ControlModifier)
        return false;
    switch (k->key()) {
    case Qt::Key_Z: case Qt::Key_Y: case Qt::Key_X:
    case Qt::Key_C: case Qt::Key_V: case Qt::Key_A:
        return true;
    default:
        return false;
    }
}

bool isEnter(const QKeyEvent *k)
{
    return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
}

bool isEscape(const QKeyEvent *k)
{
    return k->key() == Qt::Key_Escape && k->modifiers() == Qt::NoModifier;
}

const QColor kPlaceholderGrey(0x80, 0x80, 0x80);
} // namespace

AddressBox::AddressBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(12);
    const QString name = QStringLiteral("Address");
    const QString description = QStringLiteral("Type an address, or words to search for, and press Enter");
    for (QWidget *w : {static_cast<QWidget *>(this), static_cast<QWidget *>(lineEdit())}) {
        w->setAccessibleName(name);
        w->setAccessibleDescription(description);
    }
    view()->setAccessibleName(QStringLiteral("Typed addresses"));
    view()->setAccessibleDescription(QStringLiteral("What was typed into this window's address box"));
    // When editing ends (opening the list ends it too), the combo box selects
    // the row that holds the typed text and reports that as a pick: the list
    // would load a page the user never chose and miss the one they then click.
    disconnect(lineEdit(), SIGNAL(editingFinished()), this, SLOT(_q_editingFinished()));

    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &t) {
        if (!m_syncing)
            m_logic.edited(t);
        pushToWidget();
    });
    // The combo box also moves through its rows on keys of its own (Page Up,
    // Page Down) with the list closed: that only fills the box.
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (m_syncing)
            return;
        if (m_listOpen) {
            run(m_logic.picked(index));
        } else {
            m_logic.moveTo(index);
            pushToWidget();
        }
    });
    pushToWidget();
}

void AddressBox::showPopup()
{
    m_listOpen = true;
    QComboBox::showPopup();
}

void AddressBox::hidePopup()
{
    QComboBox::hidePopup();
    // The combo box closes its list first and reports the row picked in it
    // right after; the list counts as open until that report is through.
    QMetaObject::invokeMethod(this, [this] { m_listOpen = false; }, Qt::QueuedConnection);
}

void AddressBox::wheelEvent(QWheelEvent *e)
{
    e->ignore();
}

void AddressBox::focusForTyping()
{
    setFocus(Qt::ShortcutFocusReason);
    lineEdit()->selectAll();
}

void AddressBox::focusInEvent(QFocusEvent *e)
{
    QComboBox::focusInEvent(e);
    if (e->reason() != Qt::PopupFocusReason) {
        m_logic.gotFocus();
        pushToWidget();
    }
}

void AddressBox::focusOutEvent(QFocusEvent *e)
{
    QComboBox::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason) {
        m_logic.lostFocus();
        pushToWidget();
    }
}

void AddressBox::changeEvent(QEvent *e)
{
    QComboBox::changeEvent(e);
    // A theme change brings a new text colour; the placeholder keeps its grey.
    if (e->type() == QEvent::PaletteChange && !m_syncing)
        pushToWidget();
}

bool AddressBox::event(QEvent *e)
{
    // Editing chords belong to the text while the box has the focus, not to
    // the window's menu, which acts on the page; so does Escape while the
    // user is typing, which otherwise stops the page.
    if (e->type() == QEvent::ShortcutOverride) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (isEditingChord(k) || (isEscape(k) && m_logic.isEditing())) {
            e->accept();
            return true;
        }
    }
    return QComboBox::event(e);
}

void AddressBox::keyPressEvent(QKeyEvent *k)
{
    if (k->modifiers() == Qt::ControlModifier && k->key() == Qt::Key_Y) {
        // Not every platform binds redo to Ctrl+Y; the box always does.
        lineEdit()->redo();
        m_logic.edited(lineEdit()->text());
        return;
    }
    // Enter acts on release, like every other key; taking the press keeps
    // the combo box from acting on it as well.
    if (isEnter(k))
        return;
    if (isEscape(k) && m_logic.isEditing()) {
        m_logic.escape();
        pushToWidget();
        return;
    }
    if ((k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) && k->modifiers() == Qt::NoModifier) {
        m_logic.step(k->key() == Qt::Key_Up ? -1 : 1);
        pushToWidget();
        return;
    }
    QComboBox::keyPressEvent(k);
}

void AddressBox::keyReleaseEvent(QKeyEvent *k)
{
    QComboBox::keyReleaseEvent(k);
    // Escape takes typing back; completing on its release would redo it.
    if (k->isAutoRepeat() || k->key() == Qt::Key_Escape)
        return;
    AddressKey key = AddressKey::Other;
    if (k->key() == Qt::Key_Backspace)
        key = AddressKey::Backspace;
    else if (isEnter(k))
        key = AddressKey::Enter;
    run(m_logic.keyUp(key));
}

void AddressBox::run(const std::optional<QString> &go)
{
    pushToWidget();
    if (go)
        emit navigateRequested(*go);
}

void AddressBox::pushToWidget()
{
    m_syncing = true;
    for (int i = count(); i < m_logic.items().size(); ++i)
        addItem(m_logic.items().at(i));
    if (m_logic.listIndex() >= 0 && currentIndex() != m_logic.listIndex())
        setCurrentIndex(m_logic.listIndex());
    QLineEdit *edit = lineEdit();
    if (edit->text() != m_logic.text())
        edit->setText(m_logic.text());
    // Typed text takes the theme's colour, so it stays readable on a dark one.
    QPalette pal = palette();
    if (m_logic.showsPlaceholder())
        pal.setColor(QPalette::Text, kPlaceholderGrey);
    edit->setPalette(pal);
    if (m_logic.selectionLength() > 0)
        edit->setSelection(m_logic.selectionStart(), m_logic.selectionLength());
    m_syncing = false;
}
