#include "GameStart.h"

#include <cmath>
#include <numbers>

#include "NumberText.h"

namespace qx {

namespace {

constexpr double kDegree = std::numbers::pi / 180;

}  // namespace

bool ParseViewStart(const std::vector<std::string>& words, size_t at, ViewStart& start)
{
    if (at + 5 > words.size())
        return false;
    double v[5];
    for (size_t i = 0; i < 5; ++i)
        if (!ParseFileReal(words[at + i], v[i]) || !std::isfinite(v[i]) || std::abs(v[i]) > 1e30)
            return false;
    if (std::abs(v[4]) > 90)
        return false;
    // The user's Y is the depth (world Z), Z the height (world Y).
    start.eye[0] = static_cast<float>(v[0]);
    start.eye[2] = static_cast<float>(v[1]);
    start.eye[1] = static_cast<float>(v[2]);
    start.yaw = static_cast<float>(std::remainder(v[3], 360.0) * kDegree);
    start.pitch = static_cast<float>(v[4] * kDegree);
    return true;
}

std::vector<std::string> ViewStartWords(const ViewStart& start)
{
    const float values[5] = {start.eye[0], start.eye[2], start.eye[1], static_cast<float>(start.yaw / kDegree),
                             static_cast<float>(start.pitch / kDegree)};
    std::vector<std::string> words;
    for (float v : values) {
        // The point whatever the user's separator: the reader takes both.
        std::string text;
        AppendFloatToEditText(text, v);
        for (char& c : text)
            if (c == ',')
                c = '.';
        words.push_back(std::move(text));
    }
    return words;
}

ViewStart ViewStartLooking(const float eye[3], const float target[3])
{
    ViewStart start;
    for (int a = 0; a < 3; ++a)
        start.eye[a] = eye[a];
    const double dx = double(target[0]) - eye[0], dy = double(target[1]) - eye[1], dz = double(target[2]) - eye[2];
    const double across = std::hypot(dx, dz);
    if (across > 0)
        start.yaw = static_cast<float>(std::atan2(dx, dz));
    if (across > 0 || dy != 0)
        start.pitch = static_cast<float>(std::atan2(dy, across));
    return start;
}

bool ParseGameArguments(const std::vector<std::string>& arguments, GameArguments& out)
{
    out = GameArguments();
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--help" || a == "-h") {
            out.help = true;
        } else if (a == "--start") {
            if (out.hasStart || !ParseViewStart(arguments, i + 1, out.start))
                return false;
            out.hasStart = true;
            i += 5;
        } else if (a.empty() || a[0] == '-' || !out.folder.empty()) {
            return false;
        } else {
            out.folder = a;
        }
    }
    return true;
}

std::string GameUsage()
{
    return "Usage: GAME_EXE [FOLDER] [--start X Y Z YAW PITCH]\n"
           "Plays the project in FOLDER (a folder holding the project's files, or one\n"
           "holding Sys/Saves); without it, Sys/Saves/ beside the program.  The game\n"
           "reads the project again after every save while it runs.\n"
           "\n"
           "  --start X Y Z YAW PITCH  the player's eyes at X Y Z (the editor's axes: Y the\n"
           "                           depth, Z the height), looking YAW degrees from +Y\n"
           "                           towards +X and PITCH degrees up (-90 to 90); the\n"
           "                           feet stand on what is below.  The map's player\n"
           "                           start is not changed.  A point or a comma.\n"
           "  --help                   this text\n"
           "\n"
           "Bad arguments: this text on standard error, exit status 2.\n";
}

}  // namespace qx
