#include "resources/Resources_KX.h"

#include "platform/Cursors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QResource>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {
const QString picturesFolder = QStringLiteral(":/pictures/");
const QString cursorsFolder = QStringLiteral(":/cursors/");
const QString soundsFolder = QStringLiteral(":/sounds/");

QStringList BaseNames(const QString& folder, const QStringList& filters) {
    QStringList names;
    for (const QFileInfo& info : QDir(folder).entryInfoList(filters, QDir::Files, QDir::Name))
        names << info.completeBaseName();
    return names;
}

// The file of a resource whose base name matches, ignoring case; empty if none.
QString FindFile(const QString& folder, const QString& name) {
    if (name.isEmpty()) return {};
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files))
        if (info.completeBaseName().compare(name, Qt::CaseInsensitive) == 0) return info.filePath();
    return {};
}

QByteArray ReadAll(const QString& path) {
    if (path.isEmpty()) return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

struct JpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void JpegFail(j_common_ptr cinfo) {
    // libjpeg would end the program; a damaged picture only fails to decode.
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->Jump, 1);
}

void JpegQuiet(j_common_ptr) {}
} // namespace

QStringList ResourcePictureNames() {
    return BaseNames(picturesFolder, {QStringLiteral("*.png"), QStringLiteral("*.jpg")});
}

bool IsJpegPicture(const QString& name) {
    return FindFile(picturesFolder, name).endsWith(QLatin1String(".jpg"));
}

QByteArray ResourcePictureData(const QString& name) {
    return ReadAll(FindFile(picturesFolder, name));
}

namespace {
// Everything that libjpeg may jump out of lives in the caller or in memory
// that libjpeg owns, so the jump leaves nothing half destroyed.
bool DecodeJpegInto(const QByteArray& data, QImage& out) {
    jpeg_decompress_struct cinfo{};
    JpegError error{};
    cinfo.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegFail;
    error.Manager.output_message = JpegQuiet;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    out = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                 QImage::Format_RGB32);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
} // namespace

QImage DecodeJpegPicture(const QByteArray& data) {
    if (data.isEmpty()) return {};
    QImage img;
    if (!DecodeJpegInto(data, img)) return {};
    return img;
}

QImage LoadResourcePicture(const QString& name) {
    const QString path = FindFile(picturesFolder, name);
    if (path.isEmpty()) return {};
    if (path.endsWith(QLatin1String(".jpg"))) return DecodeJpegPicture(ReadAll(path));
    QImage img(path);
    if (img.isNull()) return {};
    return img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32
                                                     : QImage::Format_RGB32);
}

QStringList ResourceCursorNames() {
    return BaseNames(cursorsFolder, {QStringLiteral("*.png")});
}

QImage ResourceCursorPicture(const QString& name, int* hotX, int* hotY) {
    const QString path = FindFile(cursorsFolder, name);
    QImage img = path.isEmpty() ? QImage() : QImage(path);
    const QStringList hot = img.text(QStringLiteral("HotSpot")).split(QLatin1Char(','));
    if (hotX) *hotX = hot.size() == 2 ? hot[0].toInt() : 0;
    if (hotY) *hotY = hot.size() == 2 ? hot[1].toInt() : 0;
    return img.isNull() ? img : img.convertToFormat(QImage::Format_ARGB32);
}

QCursor LoadResourceCursor(const QString& name) {
    int x = 0, y = 0;
    const QImage img = ResourceCursorPicture(name, &x, &y);
    if (img.isNull()) return QCursor(Qt::ArrowCursor);
    return QCursor(QPixmap::fromImage(img), x, y);
}

QStringList ResourceSoundNames() {
    return BaseNames(soundsFolder, {QStringLiteral("*.wav")});
}

QByteArray ResourceSoundData(const QString& name) {
    return ReadAll(FindFile(soundsFolder, name));
}

QStringList ResourceFontFiles() {
    QStringList files;
    for (const QFileInfo& info :
         QDir(QStringLiteral(":/fonts"))
             .entryInfoList({QStringLiteral("*.ttf")}, QDir::Files, QDir::Name))
        files << info.filePath();
    return files;
}

namespace {
bool Report(const QStringList& missing) {
    if (missing.isEmpty()) return true;
    std::fprintf(stderr, "Kolvex: built-in resources missing: %s\n",
                 qPrintable(missing.join(QStringLiteral(", "))));
    return false;
}

// The font's bytes where the program holds them: stored uncompressed, the
// resource is used in place (only the pages the fonts read are loaded);
// a compressed one is unpacked once.
QByteArray FontData(const QString& file) {
    const QResource resource(file);
    if (!resource.isValid()) return ReadAll(file);
    if (resource.compressionAlgorithm() != QResource::NoCompression)
        return resource.uncompressedData();
    return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                   static_cast<qsizetype>(resource.size()));
}
} // namespace

bool InstallFonts() {
    QStringList missing;
    for (const QString& file : ResourceFontFiles())
        if (QFontDatabase::addApplicationFontFromData(FontData(file)) < 0)
            missing << QFileInfo(file).fileName();
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    return Report(missing);
}

bool InstallCursorsAndIcon() {
    QStringList missing;
    const char* const cursors[Cursors::Count] = {"ARROWD", "HAMMER", "FLIP", "INVIS", "BMHAND"};
    for (int i = 0; i < Cursors::Count; ++i) {
        const QString name = QLatin1String(cursors[i]);
        if (ResourceCursorPicture(name).isNull())
            missing << name;
        else
            Cursors::Register(i, LoadResourceCursor(name));
    }
    const QImage icon = LoadResourcePicture(QStringLiteral("KolvexIcon"));
    if (icon.isNull())
        missing << QStringLiteral("KolvexIcon");
    else
        QGuiApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    return Report(missing);
}

bool InstallResources() {
    const bool pictures = InstallCursorsAndIcon();
    return InstallFonts() && pictures;
}
