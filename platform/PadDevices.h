#pragma once

#include <QByteArray>
#include <QString>

// Whether a game controller is plugged in, read from the kernel's list of
// input devices without SDL: a joystick node, or an event device that has
// joystick or gamepad buttons. Until one shows up the program leaves SDL
// unloaded and does not poll for pads; a watch on HotplugFolder() tells when
// to look again.
namespace PadDevices {
// Whether an event device's key capabilities, as sysfs prints them (hex
// words of 64 bits, the most significant first), hold a pad button.
bool HasPadButtons(const QByteArray& keyCapabilities);
// Whether any device in the input class folder is a pad.
bool AnyPlugged(const QString& inputClass = QStringLiteral("/sys/class/input"));
// The folder whose entries change when an input device comes or goes.
QString HotplugFolder();
} // namespace PadDevices
