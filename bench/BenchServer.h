#pragma once

#include <QHash>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <functional>

// An HTTP/1.1 server on 127.0.0.1 with a thread of its own, so that it
// answers while the benchmark waits on windows. Connections stay open, as a
// web server keeps them, and nothing may be cached: every run fetches every
// resource afresh.
class BenchServer : public QThread
{
public:
    // The body and content type for a path; an empty type is "not found".
    using Pages = std::function<void(const QByteArray &path, QByteArray *type, QByteArray *body)>;

    explicit BenchServer(Pages pages)
        : m_pages(std::move(pages))
    {
        start();
        m_ready.acquire();
    }
    ~BenchServer() override
    {
        quit();
        wait();
    }

    quint16 port() const { return m_port; }
    QString url(const QString &path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
            while (QTcpSocket *s = server.nextPendingConnection())
                serve(s);
        });
        m_ready.release();
        exec();
    }

private:
    void serve(QTcpSocket *s)
    {
        auto *buffer = new QByteArray;
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, buffer] {
            *buffer += s->readAll();
            // The pages are fetched with GET only: a request is its head.
            for (qsizetype end; (end = buffer->indexOf("\r\n\r\n")) >= 0;) {
                const QByteArray head = buffer->left(end);
                buffer->remove(0, end + 4);
                const QByteArray path = head.left(head.indexOf("\r\n")).split(' ').value(1);
                QByteArray type, body;
                m_pages(path, &type, &body);
                const bool found = !type.isEmpty();
                if (!found)
                    body = "not found";
                s->write("HTTP/1.1 " + QByteArray(found ? "200 OK" : "404 Not Found") + "\r\nContent-Type: "
                         + (found ? type : QByteArray("text/plain")) + "\r\nContent-Length: "
                         + QByteArray::number(body.size()) + "\r\nCache-Control: no-store\r\n\r\n" + body);
            }
        });
        QObject::connect(s, &QTcpSocket::disconnected, s, [s, buffer] {
            delete buffer;
            s->deleteLater();
        });
    }

    Pages m_pages;
    QSemaphore m_ready;
    quint16 m_port = 0;
};
