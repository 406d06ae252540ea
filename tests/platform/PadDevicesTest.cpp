#include "platform/PadDevices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PadDevices, PadButtonsAreFoundInTheKernelsKeyBitmap) {
    const struct {
        const char* Keys;
        bool Pad;
    } cases[] = {
        {"402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe", false}, // keyboard
        {"1f0000 0 0 0 0", false},                                           // mouse buttons
        {"7cdb000000000000 0 0 0 0", true},                                  // gamepad A, B, X...
        {"ffff00000000 0 0 0 0", true},                                      // joystick trigger...
        {"f00000000 0 0 0 0 0 0 0 0\n", true},                               // d-pad buttons only
        {"1 0 0 0 0 0 0 0 0 0 0 0", true},                                   // an extra trigger
        {"0", false},
        {"", false},
        {"zz 7cdb0000000000000000", false}, // damaged: no word reads as a pad button
    };
    for (const auto& c : cases)
        EXPECT_EQ(PadDevices::HasPadButtons(c.Keys), c.Pad) << c.Keys;
}

TEST(PadDevices, APadIsPluggedWhenAnInputDeviceHasPadButtonsOrIsAJoystick) {
    QTemporaryDir input;
    const QDir folder(input.path());
    const auto device = [&](const QString& name, const QByteArray& keys) {
        ASSERT_TRUE(folder.mkpath(name + "/device/capabilities"));
        if (keys.isNull()) return;
        QFile file(folder.filePath(name + "/device/capabilities/key"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(keys);
    };
    EXPECT_FALSE(PadDevices::AnyPlugged(input.path()));
    device("event0", "402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe\n");
    device("event1", QByteArray()); // gone before its capabilities could be read
    device("mouse0", "7cdb000000000000 0 0 0 0\n"); // not an event device
    EXPECT_FALSE(PadDevices::AnyPlugged(input.path()));
    device("event7", "7cdb000000000000 0 0 0 0\n");
    EXPECT_TRUE(PadDevices::AnyPlugged(input.path()));

    QTemporaryDir joystickOnly;
    ASSERT_TRUE(QDir(joystickOnly.path()).mkpath("js0"));
    EXPECT_TRUE(PadDevices::AnyPlugged(joystickOnly.path()));
    EXPECT_FALSE(PadDevices::AnyPlugged(joystickOnly.path() + "/missing"));
}
