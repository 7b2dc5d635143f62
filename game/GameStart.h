// Where a game run puts the player when it does not start at the map's
// player marker: the editor's camera, given on the command line
// (GAME_EXE FOLDER --start X Y Z YAW PITCH) or through a running game's
// channel (GameChannel.h).  The words are in the user's axes, as the
// editor's navigator names them (X, Y the depth, Z the height), and in
// degrees: YAW 0 looks along +Y, 90 along +X; PITCH up positive.  Numbers
// read and write through the program's own number text, never the
// process locale.  No GL, no Qt.
#pragma once

#include <string>
#include <vector>

namespace qx {

// World axes (Y up) and radians, as the game's view takes them: yaw 0 looks
// along +Z and growing turns towards +X.
struct ViewStart {
    float eye[3] = {0, 0, 0};
    float yaw = 0;
    float pitch = 0;
};

// The five words X Y Z YAW PITCH from words[at]; false when one is missing
// or no finite number, or PITCH is beyond +-90.
bool ParseViewStart(const std::vector<std::string>& words, size_t at, ViewStart& start);
std::vector<std::string> ViewStartWords(const ViewStart& start);

// A view from eye towards target (world axes).
ViewStart ViewStartLooking(const float eye[3], const float target[3]);

struct GameArguments {
    std::string folder;  // empty: none given
    bool help = false;
    bool hasStart = false;
    ViewStart start;
};

// The arguments after the program's name.  False for arguments the usage
// does not allow (an unknown option, a second folder, a --start without its
// five numbers).
bool ParseGameArguments(const std::vector<std::string>& arguments, GameArguments& out);

// What "GAME_EXE --help" prints, and bad arguments before exit status 2.
std::string GameUsage();

}  // namespace qx
