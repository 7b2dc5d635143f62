// The movement keys as physical keys: arrows, and the W/A/S/D positions
// whatever the keyboard layout, so a Cyrillic layout walks as a Latin one.
// Shared by the editor's key hook and the game's window.
#pragma once

#include <cstdint>

class QKeyEvent;

enum class MoveKey { None, Back, Forward, Right, Left };

// Physical key of an event: arrows, or the W/A/S/D key positions (Latin or
// Cyrillic letters, or the X11 key codes).
MoveKey MoveKeyOf(const QKeyEvent& event);

// The X11 key code (evdev + 8) of the event's key on the xcb platform; 0
// elsewhere or when the platform does not report it.
uint32_t X11KeyCode(const QKeyEvent& event);
