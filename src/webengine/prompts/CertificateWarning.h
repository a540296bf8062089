#pragma once

#include <QString>

class QWebEngineCertificateError;
class QWebEngineView;

// A site whose certificate is not trusted is not opened: the user is asked,
// and unless they choose to open it anyway (which then holds for that host
// until the program ends) the view says in plain words that the certificate
// is not trusted and why, instead of the engine's "site can't be reached".
void handleCertificateError(QWebEngineView *view, const QWebEngineCertificateError &error);

// Why the certificate is not trusted, as a user reads it.
QString certificateProblem(const QWebEngineCertificateError &error);
