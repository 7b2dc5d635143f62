#include "GameChannel.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace qx {

namespace {

constexpr char kStartWord[] = "start";
constexpr qint64 kLongestLine = 512;

std::vector<std::string> Words(const QByteArray& line)
{
    std::vector<std::string> words;
    for (const QByteArray& w : line.simplified().split(' '))
        if (!w.isEmpty())
            words.push_back(w.toStdString());
    return words;
}

}  // namespace

QString GameChannelName(const std::string& projectFolder)
{
    std::error_code ec;
    std::string folder = std::filesystem::weakly_canonical(projectFolder, ec).string();
    if (ec)
        folder = projectFolder;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(folder), QCryptographicHash::Sha1);
    return QString("qxvantor-game-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash.toHex().left(16)));
}

GameChannel::GameChannel(const std::string& projectFolder, std::function<void(const ViewStart&)> onStart)
    : server_(std::make_unique<QLocalServer>()), onStart_(std::move(onStart))
{
    const QString name = GameChannelName(projectFolder);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name) && server_->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(200)) {
            std::fprintf(stderr, "GAME_EXE: another game of this project has its channel; this one plays without\n");
            return;
        }
        QLocalServer::removeServer(name);
        server_->listen(name);
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                while (socket->canReadLine()) {
                    const std::vector<std::string> words = Words(socket->readLine(kLongestLine));
                    ViewStart start;
                    if (!words.empty() && words[0] == kStartWord && words.size() == 6 && ParseViewStart(words, 1, start))
                        onStart_(start);
                    else
                        std::fprintf(stderr, "GAME_EXE: a request on the channel not understood\n");
                }
                // A line longer than any request is no request.
                if (socket->bytesAvailable() > kLongestLine)
                    socket->abort();
            });
        }
    });
}

GameChannel::~GameChannel() = default;

bool GameChannel::Listening() const { return server_->isListening(); }

void HandStartToGame(const std::string& projectFolder, const ViewStart& start, std::function<void(bool handed)> done)
{
    auto* socket = new QLocalSocket();
    auto finished = std::make_shared<bool>(false);
    const auto finish = [socket, finished, done](bool handed) {
        if (*finished)
            return;
        *finished = true;
        socket->deleteLater();
        done(handed);
    };
    QByteArray line = kStartWord;
    for (const std::string& w : ViewStartWords(start))
        line += ' ' + QByteArray::fromStdString(w);
    line += '\n';
    QObject::connect(socket, &QLocalSocket::connected, socket, [socket, line] { socket->write(line); });
    QObject::connect(socket, &QLocalSocket::bytesWritten, socket, [socket, finish] {
        if (socket->bytesToWrite() == 0) {
            socket->disconnectFromServer();
            finish(true);
        }
    });
    QObject::connect(socket, &QLocalSocket::errorOccurred, socket, [finish](QLocalSocket::LocalSocketError) {
        // After the line went, a game closing the connection is no failure
        // of the hand-over: finish has been called already.
        finish(false);
    });
    socket->connectToServer(GameChannelName(projectFolder), QIODevice::WriteOnly);
}

}  // namespace qx
