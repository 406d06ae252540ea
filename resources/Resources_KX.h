#pragma once

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QString>
#include <QStringList>

// The pictures, cursors, sounds and fonts built into the program, found by
// their resource names ("BrickType5", "MenuImage", "HAMMER", "FLIP1"). Sound
// and cursor names are matched without regard to case, as the system did.

// Every built-in picture name; the JPEG pictures among them are the
// backgrounds and title pictures.
QStringList ResourcePictureNames();
bool IsJpegPicture(const QString& name);
// The picture's file as it is built in (JPEG or PNG); empty when there is no such picture.
QByteArray ResourcePictureData(const QString& name);
// The picture decoded: Format_RGB32 for the pictures whose pure black is the
// transparent colour, Format_ARGB32 for the glyphs and the icon, which carry
// their own transparency. A null image when there is no such picture.
QImage LoadResourcePicture(const QString& name);
// Decodes a JPEG picture with libjpeg into Format_RGB32; a null image for damaged data.
QImage DecodeJpegPicture(const QByteArray& data);

QStringList ResourceCursorNames();
// The cursor's 32 x 32 picture (with transparency) and its hot spot; a null
// image when there is no such cursor.
QImage ResourceCursorPicture(const QString& name, int* hotX = nullptr, int* hotY = nullptr);
QCursor LoadResourceCursor(const QString& name);

QStringList ResourceSoundNames();
// The WAVE file of a sound resource; empty when there is no such sound.
QByteArray ResourceSoundData(const QString& name);

// The font files built in, as resource paths.
QStringList ResourceFontFiles();

// Start-up: registers the built-in fonts with "Courier New", "Arial" and
// "Times New Roman" substituted by them, the five cursors under their numbers
// and the window icon. Returns false, after one warning line, when something
// could not be installed; the program goes on with what it has.
bool InstallResources();
// Its two halves, for a start-up that shows its first window between them.
bool InstallCursorsAndIcon();
bool InstallFonts();
