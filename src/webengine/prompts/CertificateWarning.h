#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QWebEngineCertificateError>

class QWebEngineView;

// Certificates of this run: the hosts the user chose to open anyway, and the
// errors that wait for the user's answer, by host, so that a page's further
// requests to the same host wait for the same answer instead of asking again.
struct CertificateTrust
{
    QSet<QString> trustedHosts;
    QHash<QString, QList<QWebEngineCertificateError>> waiting;
};

// A site whose certificate is not trusted is not opened: the user is asked,
// and unless they choose to open it anyway (which then holds for that host
// until the program ends) the view says in plain words that the certificate
// is not trusted and why, instead of the engine's "site can't be reached".
void handleCertificateError(CertificateTrust &trust, QWebEngineView *view, const QWebEngineCertificateError &error);

// Why the certificate is not trusted, as a user reads it.
QString certificateProblem(const QWebEngineCertificateError &error);
