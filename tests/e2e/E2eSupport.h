#pragma once

#include "User.h"

#include <QDir>
#include <QPointer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// A small HTTP server on 127.0.0.1 for the pages the tests load, and its log.
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
        m_pages.insert(path, {type, html, headers});
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int hits(const QString &path) const { return requests.count(path); }

    QStringList requests, posts;
    // Requests for these paths are never answered: a page that keeps loading.
    QStringList held;
    QList<QByteArray> heads; // each request's head, as it came
    // The whole answer to a request, decided from its head; an empty one
    // leaves the request to the pages.
    std::function<QByteArray(const QString &path, const QByteArray &head)> answer;
    // Answers to the paths this names stop short of their last bytes until
    // release(), so that downloads of them run at the same time.
    std::function<bool(const QString &path)> hold;
    int heldBack() const { return int(m_held.size()); }
    void release()
    {
        for (const auto &[socket, rest] : std::as_const(m_held)) {
            if (socket) {
                socket->write(rest);
                socket->disconnectFromHost();
            }
        }
        m_held.clear();
    }

private:
    struct Page
    {
        QByteArray type = "text/plain", body = "not found", headers;
    };
    void serve(QTcpSocket *s)
    {
        connect(s, &QTcpSocket::readyRead, s, [this, s] {
            QByteArray &buffer = m_buffer[s];
            buffer += s->readAll();
            if (!buffer.contains("\r\n\r\n"))
                return;
            const QByteArray head = buffer.left(buffer.indexOf("\r\n\r\n"));
            m_buffer.remove(s);
            const QList<QByteArray> first = head.left(head.indexOf("\r\n")).split(' ');
            const QString path = QString::fromUtf8(first.value(1));
            requests << path;
            heads << head;
            if (first.value(0) == "POST")
                posts << path;
            if (held.contains(path))
                return;
            QByteArray out = answer ? answer(path, head) : QByteArray();
            if (out.isEmpty()) {
                const Page p = m_pages.value(path);
                out = "HTTP/1.1 " + QByteArray(m_pages.contains(path) ? "200 OK" : "404 Not Found")
                      + "\r\nContent-Type: " + p.type + "\r\nContent-Length: " + QByteArray::number(p.body.size())
                      + "\r\nConnection: close\r\nCache-Control: no-store\r\n" + p.headers + "\r\n" + p.body;
            }
            if (hold && hold(path)) {
                constexpr int kHeldBytes = 1000;
                s->write(out.left(out.size() - kHeldBytes));
                m_held.append({s, out.right(kHeldBytes)});
                return;
            }
            s->write(out);
            s->disconnectFromHost();
        });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }

    QTcpServer m_server;
    QHash<QString, Page> m_pages;
    QHash<QTcpSocket *, QByteArray> m_buffer;
    QList<QPair<QPointer<QTcpSocket>, QByteArray>> m_held;
};

// The real program, started as a user starts it, in a home of its own; the
// home holds its runtime folder too, so it never meets another test's Kestrel.
class Kestrel
{
public:
    explicit Kestrel(const QString &home, const QStringList &args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        for (const char *xdg : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DOWNLOAD_DIR"})
            env.remove(QString::fromLatin1(xdg));
        const QString runtime = runtimeFolder(home);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QString::fromLocal8Bit(qgetenv("KESTREL_BIN")), args);
    }
    ~Kestrel()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Ends as a program does when its last window's close box is clicked.
    bool ends(int timeoutMs = 20000)
    {
        return process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }
    bool closeAndEnd(const QString &caption) { return User::close(caption) && ends(); }
    static QString runtimeFolder(const QString &home) { return home + QStringLiteral("/.run"); }
    QProcess process;
};
