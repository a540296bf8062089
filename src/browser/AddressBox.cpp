#include "AddressBox.h"

#include <QFocusEvent>
#include <QKeyEvent>
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
} // namespace

AddressBox::AddressBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(12);
    lineEdit()->installEventFilter(this);

    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &t) {
        if (!m_syncing)
            m_logic.edited(t);
        pushToWidget();
    });
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        if (m_syncing)
            return;
        run(m_logic.picked(index));
    });
    pushToWidget();
}

void AddressBox::showPopup()
{
    m_logic.dropDown();
    QComboBox::showPopup();
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

bool AddressBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != lineEdit())
        return QComboBox::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Editing chords belong to the text while the box has the focus,
        // not to the window's menu (which acts on the page).
        auto *k = static_cast<QKeyEvent *>(event);
        if (isEditingChord(k)) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() == Qt::ControlModifier && k->key() == Qt::Key_Y) {
            lineEdit()->redo();
            m_logic.edited(lineEdit()->text());
            return true;
        }
        // Enter is handled on release, like every other key; swallowing the
        // press keeps the combo box from acting on it as well.
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            return true;
        if ((k->key() == Qt::Key_Up || k->key() == Qt::Key_Down) && k->modifiers() == Qt::NoModifier) {
            const int step = k->key() == Qt::Key_Up ? -1 : 1;
            const int next = m_logic.listIndex + step;
            if (next >= 0 && next < m_logic.items.size())
                run(m_logic.picked(next));
            return true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->isAutoRepeat())
            break;
        int code = 0;
        if (k->key() == Qt::Key_Backspace)
            code = 8;
        else if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            code = 13;
        run(m_logic.keyUp(code));
        return code == 13;
    }
    default:
        break;
    }
    return QComboBox::eventFilter(watched, event);
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
    for (int i = count(); i < m_logic.items.size(); ++i)
        addItem(m_logic.items[i]);
    if (m_logic.listIndex >= 0 && currentIndex() != m_logic.listIndex)
        setCurrentIndex(m_logic.listIndex);
    QLineEdit *edit = lineEdit();
    if (edit->text() != m_logic.text)
        edit->setText(m_logic.text);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Text, m_logic.grey ? QColor(0x80, 0x80, 0x80) : QColor(0, 0, 0));
    edit->setPalette(pal);
    if (m_logic.selLength > 0)
        edit->setSelection(m_logic.selStart, m_logic.selLength);
    m_syncing = false;
}
