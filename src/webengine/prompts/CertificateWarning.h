#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWebEngineCertificateError>

#include <functional>
#include <optional>

class QMessageBox;
class QWebEngineView;

// The certificates the user chose to open anyway in this run, each for the
// host, port, certificate and fault it was shown with: another certificate,
// another fault or another port is asked about afresh.
class CertificateTrust
{
public:
    bool isTrusted(const QWebEngineCertificateError &error) const;
    void trust(const QWebEngineCertificateError &error);
    // Whether an exception holds for the host of `url`. The engine itself
    // lets a certificate the user accepted through on every port of its
    // host, so a page from any of them is not to be called trusted.
    bool hasExceptionFor(const QUrl &url) const;

private:
    QSet<QString> m_trusted;
    QSet<QString> m_hosts;
};

// A window's questions about untrusted certificates. Only the page itself
// asks, one question at a time, and the question leaves the window working;
// an image, script or frame of the page with an untrusted certificate is
// blocked without a question, and `blocked` names its host. Unless the user
// chooses to open the page anyway, the view says in plain words that the
// certificate is not trusted and why, instead of the engine's "site can't
// be reached".
class CertificateQuestion : public QObject
{
    Q_OBJECT
public:
    // `isPageAddress` tells the address the page itself is going to from
    // those of its parts.
    CertificateQuestion(CertificateTrust &trust, QWebEngineView *view, std::function<bool(const QUrl &)> isPageAddress);
    ~CertificateQuestion() override;

    void handle(const QWebEngineCertificateError &error);
    // The window is closing: the question is answered no.
    void windowClosing();
    void windowStays() { m_closing = false; }

signals:
    void blocked(const QString &host);

private:
    void ask(QWebEngineCertificateError error, const QString &problem);
    void refuseWaiting();

    CertificateTrust &m_trust;
    QWebEngineView *m_view;
    std::function<bool(const QUrl &)> m_isPageAddress;
    QPointer<QMessageBox> m_box;
    std::optional<QWebEngineCertificateError> m_waiting;
    bool m_closing = false;
};

// Why the certificate is not trusted, as a user reads it.
QString certificateProblem(const QWebEngineCertificateError &error);
