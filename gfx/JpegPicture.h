#pragma once

#include <QByteArray>
#include <QImage>

// Decodes JPEG data into Format_RGB32 with libjpeg; raises EInvalidGraphic
// (gfx/brenmarUtils.h) when the data is damaged or not a JPEG picture.
QImage DecodeJpeg(const QByteArray& data);
