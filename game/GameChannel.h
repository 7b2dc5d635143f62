// The local channel of a running game: a socket named after the project
// folder it plays (and the user), through which the editor's "Играть
// отсюда" moves the game's player to the camera instead of starting a
// second game.  One line per request: "start X Y Z YAW PITCH" (GameStart.h's
// words).  A local socket only: no network port.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "GameStart.h"

class QLocalServer;

namespace qx {

// The same name for every spelling of the folder (file-system form).
QString GameChannelName(const std::string& projectFolder);

// The game's end.  A name left by a game that ended without closing it is
// taken over; one that a running game holds is not (this game then plays
// without a channel, and says so on standard error).
class GameChannel : public QObject {
public:
    GameChannel(const std::string& projectFolder, std::function<void(const ViewStart&)> onStart);
    ~GameChannel() override;
    bool Listening() const;

private:
    std::unique_ptr<QLocalServer> server_;
    std::function<void(const ViewStart&)> onStart_;
};

// The editor's end: hands `start` to the game running on `projectFolder`
// without waiting for it (the event loop carries the exchange); `done`
// learns afterwards whether a game took it.
void HandStartToGame(const std::string& projectFolder, const ViewStart& start, std::function<void(bool handed)> done);

}  // namespace qx
