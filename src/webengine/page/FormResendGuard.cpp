#include "FormResendGuard.h"

#include <QMessageBox>
#include <QWebEngineUrlRequestInfo>

void FormResendGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        m_pageFromForm = info.requestMethod() == "POST";
}

bool FormResendGuard::mayReload(QWidget *window) const
{
    if (!m_pageFromForm)
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Send Form Again"),
                    QStringLiteral("This page is the answer to a form. Reloading it sends the form again, "
                                   "which repeats whatever the form did.\n\nSend the form again?"),
                    QMessageBox::Yes | QMessageBox::No, window);
    box.setObjectName(QStringLiteral("ResendPrompt"));
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::WindowModal);
    return box.exec() == QMessageBox::Yes;
}
