#include "CertificateWarning.h"

#include "common/MessageBoxes.h"

#include <QPointer>
#include <QPushButton>
#include <QWebEngineView>

namespace {

void showWarningPage(QWebEngineView *view, const QUrl &url, const QString &problem)
{
    const QString host = url.host().toHtmlEscaped();
    view->setHtml(QStringLiteral("<!DOCTYPE html><meta charset=utf-8><title>Certificate not trusted</title>"
                                 "<h2>The certificate of %1 is not trusted</h2><p>%2</p>"
                                 "<p>Kestrel did not open the page: someone between you and the site could "
                                 "read or change what you see and send. The site itself may be working.</p>"
                                 "<p>Address: %3</p>")
                      .arg(host, problem.toHtmlEscaped(), url.toString().toHtmlEscaped()),
                  url);
}

} // namespace

QString certificateProblem(const QWebEngineCertificateError &error)
{
    switch (error.type()) {
    case QWebEngineCertificateError::CertificateAuthorityInvalid:
        return QStringLiteral("It was not issued by an authority this computer trusts; it may have been made by "
                              "the site itself.");
    case QWebEngineCertificateError::CertificateCommonNameInvalid:
        return QStringLiteral("It was issued for a different site name.");
    case QWebEngineCertificateError::CertificateDateInvalid:
        return QStringLiteral("It has expired or is not valid yet; check this computer's date too.");
    case QWebEngineCertificateError::CertificateRevoked:
        return QStringLiteral("Its issuer has revoked it.");
    case QWebEngineCertificateError::CertificateWeakSignatureAlgorithm:
    case QWebEngineCertificateError::CertificateWeakKey:
        return QStringLiteral("It is protected too weakly to be relied on.");
    default:
        return error.description();
    }
}

void handleCertificateError(CertificateTrust &trust, QWebEngineView *view,
                            const QWebEngineCertificateError &certificateError)
{
    QWebEngineCertificateError error = certificateError;
    const QUrl url = error.url();
    if (trust.trustedHosts.contains(url.host())) {
        error.acceptCertificate();
        return;
    }
    const QString problem = certificateProblem(error);
    if (!error.isOverridable()) {
        error.rejectCertificate();
        QMetaObject::invokeMethod(view, [view, url, problem] { showWarningPage(view, url, problem); },
                                  Qt::QueuedConnection);
        return;
    }
    // The load waits for the answer; the question does not block the window.
    error.defer();
    const QString host = url.host();
    const bool asked = trust.waiting.contains(host);
    trust.waiting[host].append(error);
    if (asked)
        return;
    QMessageBox *box = newMessageBox(view, QMessageBox::Warning, QStringLiteral("Certificate Not Trusted"),
                                     QStringLiteral("The certificate of %1 is not trusted. %2").arg(url.host(), problem),
                                     QStringLiteral("CertificateWarning"), QMessageBox::NoButton);
    box->setInformativeText(QStringLiteral("Opening it anyway lets anyone between you and the site read and "
                                           "change what you see and send."));
    QPushButton *back = box->addButton(QStringLiteral("&Go Back"), QMessageBox::RejectRole);
    QPushButton *open = box->addButton(QStringLiteral("&Open Anyway"), QMessageBox::AcceptRole);
    box->setDefaultButton(back);
    box->setEscapeButton(back);
    QPointer<QWebEngineView> target = view;
    QObject::connect(box, &QMessageBox::finished, box, [&trust, box, open, host, target, url, problem] {
        const bool openAnyway = box->clickedButton() == open;
        const QList<QWebEngineCertificateError> errors = trust.waiting.take(host);
        for (QWebEngineCertificateError e : errors)
            openAnyway ? e.acceptCertificate() : e.rejectCertificate();
        if (openAnyway) {
            trust.trustedHosts.insert(host);
            return;
        }
        if (target)
            QMetaObject::invokeMethod(target, [target, url, problem] {
                if (target)
                    showWarningPage(target, url, problem);
            }, Qt::QueuedConnection);
    });
    // A window closed before the answer refuses what waited for it.
    QObject::connect(box, &QObject::destroyed, [&trust, host] {
        for (QWebEngineCertificateError e : trust.waiting.take(host))
            e.rejectCertificate();
    });
    box->show();
}
