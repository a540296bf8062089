#include "ScriptErrorBox.h"

#include <QLabel>

namespace {

// A page in a loop of errors must not grow the box past the screen.
constexpr int kLongestReport = 4000;

QString describe(const QString &message, int line, const QString &source)
{
    return QStringLiteral("%1\nLine %2 of %3").arg(message).arg(line).arg(source);
}

} // namespace

ScriptErrorBox::ScriptErrorBox(const QString &message, int line, const QString &source, QWidget *parent)
    : QMessageBox(QMessageBox::Warning, QStringLiteral("Script Error"),
                  QStringLiteral("A script on this page has an error."), QMessageBox::Ok, parent)
{
    setInformativeText(describe(message, line, source));
    // The message and the source are the page's words: shown as typed, so a
    // page cannot dress them up as the program's own or load images into
    // them. The label for them exists once the first is set.
    for (QLabel *label : findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
}

void ScriptErrorBox::addError(const QString &message, int line, const QString &source)
{
    const QString text = informativeText();
    if (text.size() < kLongestReport)
        setInformativeText(text + QStringLiteral("\n\n") + describe(message, line, source));
}
