#pragma once

#include <QApplication>
#include <QByteArray>
#include <memory>
#include <QHash>
#include <functional>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// A small HTTP server on 127.0.0.1 for the pages the tests load.
class LocalServer : public QObject
{
public:
    LocalServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                serve(s);
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    // `headers` are further header lines, each ending in CRLF.
    void page(const QString &path, const QByteArray &html, const QByteArray &type = "text/html; charset=utf-8",
              const QByteArray &headers = QByteArray())
    {
        m_pages.insert(path, {type, html});
        if (!headers.isEmpty())
            m_headers.insert(path, headers);
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int hits(const QString &path) const { return requests.count(path); }

    QStringList requests;
    QList<QByteArray> heads; // each request's head, as it came
    // The whole answer to a request, decided from its head; an empty one
    // leaves the request to the pages.
    std::function<QByteArray(const QString &path, const QByteArray &head)> answer;
    QStringList posts;

private:
    void serve(QTcpSocket *s)
    {
        connect(s, &QTcpSocket::readyRead, s, [this, s] {
            m_buffer[s] += s->readAll();
            if (!m_buffer[s].contains("\r\n\r\n"))
                return;
            const QByteArray head = m_buffer[s].left(m_buffer[s].indexOf("\r\n\r\n"));
            const QList<QByteArray> first = head.left(head.indexOf("\r\n")).split(' ');
            m_buffer.remove(s);
            const QString path = first.size() > 1 ? QString::fromUtf8(first[1]) : QString();
            requests << path;
            heads << head;
            if (const QByteArray custom = answer ? answer(path, head) : QByteArray(); !custom.isEmpty()) {
                s->write(custom);
                s->disconnectFromHost();
                return;
            }
            if (first.value(0) == "POST")
                posts << path;
            const auto it = m_pages.constFind(path);
            QByteArray status = "200 OK", type = "text/plain", body = "not found";
            if (it != m_pages.constEnd()) {
                type = it->first;
                body = it->second;
            } else {
                status = "404 Not Found";
            }
            s->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: "
                     + QByteArray::number(body.size()) + "\r\nConnection: close\r\nCache-Control: no-store\r\n" + m_headers.value(path) + "\r\n" + body);
            s->disconnectFromHost();
        });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }

    QTcpServer m_server;
    QHash<QString, QPair<QByteArray, QByteArray>> m_pages;
    QHash<QString, QByteArray> m_headers;
    QHash<QTcpSocket *, QByteArray> m_buffer;
};

// X11 top-level windows of the display, for tests that run the program.
namespace X11 {
// Title of every mapped top-level window.
QStringList windowTitles();
// Asks the window with this title to close, as a window manager's close box does.
bool requestClose(const QString &title);
}

// Sets a program up as Kestrel is: the real web view in every window, and the
// program's own window steps.
QApplication *startRealEngineApp(int &argc, char **argv);

// Runs test object T, made once the application exists (its server needs it).
template <typename T>
int runWithRealEngine(int argc, char **argv)
{
    std::unique_ptr<QApplication> app(startRealEngineApp(argc, argv));
    T test;
    return QTest::qExec(&test, argc, argv);
}
