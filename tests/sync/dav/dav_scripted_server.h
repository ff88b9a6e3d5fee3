#pragma once

// An HTTP server on 127.0.0.1 that answers each request from a script, for
// what a real server here will not do. Runs in the test's thread: the
// transport's local event loop serves it while a call waits.

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace wirtello::test {

struct HttpRequest {
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers; // names in lower case
    std::string body;

    std::string header(const std::string& name) const
    {
        const auto found = headers.find(name);
        return found == headers.end() ? std::string() : found->second;
    }
};

struct HttpResponse {
    int status = 200;
    std::string reason = "OK";
    std::map<std::string, std::string> headers;
    std::string body;
};

class ScriptedHttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    explicit ScriptedHttpServer(Handler handler) : handler_(std::move(handler))
    {
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
                    pending_.erase(socket);
                    socket->deleteLater();
                });
            }
        });
        server_.listen(QHostAddress::LocalHost, 0);
    }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()) + "/"; }
    const std::vector<HttpRequest>& requests() const { return requests_; }

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        for (;;) {
            const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
            if (headEnd < 0)
                return;
            HttpRequest request;
            const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            request.method = first.value(0).toStdString();
            request.target = first.value(1).toStdString();
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    request.headers[lines[i].left(colon).trimmed().toLower().toStdString()] =
                        lines[i].mid(colon + 1).trimmed().toStdString();
            }
            const qsizetype length = QByteArray::fromStdString(request.header("content-length")).toLongLong();
            if (buffer.size() < headEnd + 4 + length)
                return;
            request.body = buffer.mid(headEnd + 4, length).toStdString();
            buffer.remove(0, headEnd + 4 + length);
            requests_.push_back(request);

            const HttpResponse response = handler_(request);
            QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' '
                + QByteArray::fromStdString(response.reason) + "\r\n";
            for (const auto& [name, value] : response.headers)
                out += QByteArray::fromStdString(name) + ": " + QByteArray::fromStdString(value) + "\r\n";
            out += "Content-Length: " + QByteArray::number(qsizetype(response.body.size())) + "\r\n\r\n";
            out += QByteArray::fromStdString(response.body);
            socket->write(out);
        }
    }

    Handler handler_;
    std::map<QTcpSocket*, QByteArray> pending_;
    std::vector<HttpRequest> requests_;
    // Last, so its connections close while the rest is still here.
    QTcpServer server_;
};

inline HttpResponse multistatusResponse(const std::string& inner)
{
    return {207, "Multi-Status", {{"Content-Type", "application/xml; charset=utf-8"}},
            R"(<?xml version="1.0" encoding="utf-8"?><d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">)"
                + inner + "</d:multistatus>"};
}

} // namespace wirtello::test
