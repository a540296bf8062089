#pragma once

#include <QObject>
#include <QString>

class QCheckBox;
class QDialog;
class QDialogButtonBox;
class QLineEdit;
class QUrl;
class QWidget;

// A page's alert, confirm and prompt boxes and its question before it is
// left. Each box leaves the rest of the program working: other windows, this
// window's menus and its close box. From a site's second box on, the user
// may stop the boxes of that site for as long as the page stays there.
class ScriptDialogs : public QObject
{
public:
    enum class Kind { Alert, Confirm, Prompt, Leave };

    explicit ScriptDialogs(QWidget *pageArea);

    // Shows a box for the page at `pageUrl` and waits for the user: true for
    // OK (or Leave). A prompt's answer goes to *text.
    bool ask(Kind kind, const QUrl &pageUrl, const QString &message, QString *text = nullptr);
    bool isAsking() const { return m_asking > 0; }

    // The page moved; a new site starts with its boxes allowed.
    void pageMovedTo(const QUrl &url);
    // The user is closing the window: a box that is up is declined, and the
    // page gets no more boxes; only its question before leaving is asked.
    void windowClosing();
    // The user chose to stay after all.
    void windowStays() { m_closing = false; }

private:
    struct Box
    {
        QDialog *dialog = nullptr;
        QLineEdit *answer = nullptr; // a prompt's
        QCheckBox *stop = nullptr;   // from a site's second box on
    };
    Box makeBox(Kind kind, const QUrl &pageUrl, const QString &message, const QString &text);
    QDialogButtonBox *makeButtons(Kind kind, QDialog *box);

    QWidget *m_area;
    int m_asking = 0;
    QString m_site;
    int m_shownOnSite = 0;
    bool m_stopped = false;
    bool m_closing = false;
};
