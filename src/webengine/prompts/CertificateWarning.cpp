#include "CertificateWarning.h"

#include "common/MessageBoxes.h"
#include "window/PageSite.h"

#include <QCryptographicHash>
#include <QPushButton>
#include <QSslCertificate>
#include <QWebEngineView>

namespace {

constexpr int kHttpsPort = 443;

QString hostOf(const QUrl &url)
{
    return url.host().toLower();
}

QString keyOf(const QWebEngineCertificateError &error)
{
    const QList<QSslCertificate> chain = error.certificateChain();
    const QByteArray leaf = chain.isEmpty() ? QByteArray() : chain.first().digest(QCryptographicHash::Sha256).toHex();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(hostOf(error.url()))
        .arg(error.url().port(kHttpsPort))
        .arg(QString::fromLatin1(leaf))
        .arg(int(error.type()));
}

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

bool CertificateTrust::isTrusted(const QWebEngineCertificateError &error) const
{
    return m_trusted.contains(keyOf(error));
}

void CertificateTrust::trust(const QWebEngineCertificateError &error)
{
    m_trusted.insert(keyOf(error));
    m_hosts.insert(hostOf(error.url()));
}

bool CertificateTrust::hasExceptionFor(const QUrl &url) const
{
    return m_hosts.contains(hostOf(url));
}

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

CertificateQuestion::CertificateQuestion(CertificateTrust &trust, QWebEngineView *view,
                                         std::function<bool(const QUrl &)> isPageAddress)
    : QObject(view), m_trust(trust), m_view(view), m_isPageAddress(std::move(isPageAddress))
{
}

CertificateQuestion::~CertificateQuestion()
{
    refuseWaiting();
    delete m_box;
}

void CertificateQuestion::handle(const QWebEngineCertificateError &certificateError)
{
    QWebEngineCertificateError error = certificateError;
    if (m_trust.isTrusted(error)) {
        error.acceptCertificate();
        return;
    }
    const QUrl url = error.url();
    // A part of the page gives the user nothing to decide on: the page they
    // asked for is the one they trust or not.
    if (m_closing || !m_isPageAddress(url)) {
        error.rejectCertificate();
        if (!m_closing)
            emit blocked(PageSite::of(url).name);
        return;
    }
    const QString problem = certificateProblem(error);
    if (!error.isOverridable()) {
        error.rejectCertificate();
        QMetaObject::invokeMethod(m_view, [view = m_view, url, problem] { showWarningPage(view, url, problem); },
                                  Qt::QueuedConnection);
        return;
    }
    // The load waits for the answer, the window does not. A newer page
    // replaces the question: the one it was about is no longer being opened.
    error.defer();
    refuseWaiting();
    delete m_box;
    ask(error, problem);
}

void CertificateQuestion::ask(QWebEngineCertificateError error, const QString &problem)
{
    const QUrl url = error.url();
    m_waiting = error;
    QMessageBox *box = newMessageBox(m_view->window(), QMessageBox::Warning, QStringLiteral("Certificate Not Trusted"),
                                     QStringLiteral("The certificate of %1 is not trusted. %2")
                                         .arg(PageSite::of(url).name, problem),
                                     QStringLiteral("CertificateWarning"), QMessageBox::NoButton);
    box->setWindowModality(Qt::NonModal);
    box->setInformativeText(QStringLiteral("Opening it anyway lets anyone between you and the site read and "
                                           "change what you see and send."));
    QPushButton *back = box->addButton(QStringLiteral("&Go Back"), QMessageBox::RejectRole);
    QPushButton *open = box->addButton(QStringLiteral("&Open Anyway"), QMessageBox::AcceptRole);
    back->setObjectName(QStringLiteral("cmdGoBack"));
    open->setObjectName(QStringLiteral("cmdOpenAnyway"));
    box->setDefaultButton(back);
    box->setEscapeButton(back);
    connect(box, &QMessageBox::finished, this, [this, box, open, url, problem] {
        if (box != m_box || !m_waiting)
            return;
        QWebEngineCertificateError answered = *m_waiting;
        m_waiting.reset();
        if (box->clickedButton() == open) {
            m_trust.trust(answered);
            answered.acceptCertificate();
            return;
        }
        answered.rejectCertificate();
        if (!m_closing)
            QMetaObject::invokeMethod(m_view, [view = m_view, url, problem] { showWarningPage(view, url, problem); },
                                      Qt::QueuedConnection);
    });
    m_box = box;
    box->show();
}

void CertificateQuestion::windowClosing()
{
    m_closing = true;
    refuseWaiting();
    if (m_box)
        m_box->close();
}

void CertificateQuestion::refuseWaiting()
{
    if (m_waiting)
        m_waiting->rejectCertificate();
    m_waiting.reset();
}
