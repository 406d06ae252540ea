#include "persistence/ScoreList_KX.h"

#include "foundation/brenmarError.h"
#include "persistence/AtomicFile_KX.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int StringField = 255;
constexpr int ScoreOffset = 256;
constexpr int DateOffset = 260;
constexpr int PlayTimeOffset = 516;

const QString& CRLF = TbmError::CRLF;

QString InUseText() {
    return QStringLiteral("from ") + Application::Title() + CRLF + CRLF +
           QStringLiteral("The ScoreList is in use by another user!") + CRLF +
           QStringLiteral("You should probably just wait a moment and then try again.") + CRLF +
           CRLF + QStringLiteral("Warning: if you choose Abort then you won't be able to save") +
           CRLF + QStringLiteral("any new topscores until you close the game and start it again.") +
           CRLF + CRLF + QStringLiteral("Try again?") + CRLF;
}

const QString CannotCreateText = QStringLiteral(
    "Can't create the scorelist on disk because it's either full or writeprotected.\r\n"
    "Won't be able to save any changes to the scorelist this time.");
QString DamagedText(const QString& fileName, bool canSave) {
    return QStringLiteral("The scorelist \"") + fileName +
           QStringLiteral("\" is damaged or can't be read; the default list is used.") +
           (canSave ? QString()
                    : CRLF + QStringLiteral("Won't be able to save any changes to the scorelist "
                                            "this time."));
}

const QString CannotSaveText =
    QStringLiteral("Can't save scorelist on disk - full or writeprotected!\r\n"
                   "Won't be able to save any changes to scorelist during this session.");

// A string field: length byte and 255 characters. Only the length and the
// characters are written over the field's previous bytes.
void PutString(QByteArray& record, int offset, const QString& text, const QByteArray& field) {
    const QByteArray chars = text.toLatin1().left(StringField);
    if (field.size() == StringField) record.replace(offset + 1, StringField, field);
    record[offset] = static_cast<char>(chars.size());
    record.replace(offset + 1, chars.size(), chars);
}

QString GetString(const QByteArray& record, int offset) {
    const int length = static_cast<unsigned char>(record[offset]);
    return QString::fromLatin1(record.constData() + offset + 1, length);
}

void PutInt(QByteArray& record, int offset, int32_t value) {
    qToLittleEndian<qint32>(value, record.data() + offset);
}

int32_t GetInt(const QByteArray& record, int offset) {
    return qFromLittleEndian<qint32>(record.constData() + offset);
}

bool SameFile(int handle, const QString& fileName) {
    struct stat opened {
    }, named{};
    if (::fstat(handle, &opened) != 0) return false;
    if (::stat(QFile::encodeName(fileName).constData(), &named) != 0) return false;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}
} // namespace

TScoreListItem::TScoreListItem(const QString& playerName, int32_t score, const QString& dateText)
    : PlayerName(playerName), Score(score), DateText(dateText) {}

void TScoreListItem::LoadFromRecord(const QByteArray& record) {
    if (record.size() != RecordSize) throw ERangeError();
    PlayerName = GetString(record, 0);
    FNameField = record.mid(1, StringField);
    Score = GetInt(record, ScoreOffset);
    DateText = GetString(record, DateOffset);
    FDateField = record.mid(DateOffset + 1, StringField);
    PlayTime = GetInt(record, PlayTimeOffset);
}

QByteArray TScoreListItem::SaveToRecord() const {
    QByteArray record(RecordSize, '\0');
    PutString(record, 0, PlayerName, FNameField);
    PutInt(record, ScoreOffset, Score);
    PutString(record, DateOffset, DateText, FDateField);
    PutInt(record, PlayTimeOffset, PlayTime);
    return record;
}

TScoreList::TScoreList(QObject* owner) : QObject(owner) {}

TScoreList::~TScoreList() {
    try {
        Close();
    } catch (...) {
        // Nothing is left to tell at this point; the file is released anyway.
    }
}

void TScoreList::SetFilePath(const QString& path) {
    if (FFilePath == path) return;
    FFilePath = path;
}

void TScoreList::SetMaxScores(int maxScores) {
    if (FMaxScores == maxScores) return;
    FMaxScores = maxScores;
}

void TScoreList::SetMaxPlayerNameLength(int length) {
    if (FMaxPlayerNameLength == length) return;
    FMaxPlayerNameLength = length;
}

QString TScoreList::FileName() const {
    return FFilePath.isEmpty() ? QStringLiteral("ScoreLst.DAT")
                               : FFilePath + QStringLiteral(".DAT");
}

const TScoreListItem& TScoreList::Items(int index) const {
    if (index < 0 || index >= Count()) throw ERangeError();
    return *FItems[static_cast<size_t>(index)];
}

int TScoreList::GetInsertPosition(int32_t score) const {
    if (score == 0) return -1;
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)]->Score <= score) return i;
    return Count() < FMaxScores ? Count() : -1;
}

int TScoreList::InsertScore(std::unique_ptr<TScoreListItem> item) {
    if (!item) return -1;
    const int position = GetInsertPosition(item->Score);
    if (position < 0) return -1;
    FItems.insert(FItems.begin() + position, std::move(item));
    if (Count() > FMaxScores) FItems.erase(FItems.begin() + FMaxScores);
    FModified = true;
    if (Count() > FMaxScores)
        throw Exception(QStringLiteral("Illegal length. (At TScoreList.InsertScore.)"));
    return position;
}

void TScoreList::Open() {
    if (FIsOpen) return;
    if (FReadOnly) {
        FIsOpen = true;
        return;
    }
    const QString fileName = FileName();
    const QFileInfo info(fileName);
    if (info.exists() || info.isSymLink()) {
        bool gaveUp = false;
        while (!TryOpenExisting(fileName)) {
            if (Dialogs::Current().Message(DialogKind::Confirmation, InUseText(), dbOK | dbAbort) !=
                dbOK) {
                gaveUp = true;
                break;
            }
        }
        qint64 size = 0;
        if (gaveUp) {
            ReleaseFile();
            FReadOnly = true;
            if (FItems.empty()) NoFile();
        } else if (!ReadItems(&size)) {
            ReleaseFile();
            FReadOnly = true;
            Dialogs::Current().Message(DialogKind::Information, DamagedText(fileName, false), dbOK);
            if (FItems.empty()) NoFile();
        } else if (FItems.empty()) {
            // No whole record: the list starts anew, as for a missing file,
            // and its defaults are written back at Close.
            if (size > 0)
                Dialogs::Current().Message(DialogKind::Information, DamagedText(fileName, true),
                                           dbOK);
            NoFile();
        }
    } else {
        int error = 0;
        if (!CreateFile(fileName, &error)) {
            Dialogs::Current().Message(DialogKind::Information, CannotCreateText, dbOK);
            FReadOnly = true;
        }
        // The file may have vanished since an earlier Open: the defaults
        // replace what was held, they are not added to it.
        FItems.clear();
        NoFile();
    }
    FIsOpen = true;
}

bool TScoreList::TryOpenExisting(const QString& fileName) {
    const QByteArray name = QFile::encodeName(fileName);
    // The file may be replaced by another copy's save between the open and the
    // lock; the lock only counts when it is on the file now at the name.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int handle = ::open(name.constData(), O_RDWR | O_CLOEXEC);
        if (handle < 0) return false;
        if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
            ::close(handle);
            return false;
        }
        if (SameFile(handle, fileName)) {
            FHandle = handle;
            return true;
        }
        ::close(handle);
    }
    return false;
}

bool TScoreList::CreateFile(const QString& fileName, int* error) {
    const QByteArray name = QFile::encodeName(fileName);
    const int handle = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle < 0) {
        *error = errno;
        return false;
    }
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        *error = errno;
        ::close(handle);
        return false;
    }
    FHandle = handle;
    return true;
}

bool TScoreList::ReadItems(qint64* size) {
    QByteArray bytes;
    if (::lseek(FHandle, 0, SEEK_SET) != 0) return false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(FHandle, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    // Whole records only: a partial one at the end is what a damaged file
    // leaves, and the next save writes whole records. Entries beyond the
    // capacity cannot be part of the list.
    *size = bytes.size();
    FItems.clear();
    const int records = static_cast<int>(bytes.size() / TScoreListItem::RecordSize);
    for (int i = 0; i < records && i < FMaxScores; ++i) {
        auto item = std::make_unique<TScoreListItem>();
        item->LoadFromRecord(bytes.mid(i * TScoreListItem::RecordSize, TScoreListItem::RecordSize));
        FItems.push_back(std::move(item));
    }
    return true;
}

void TScoreList::Save(const QString& fileName) {
    QByteArray bytes;
    bytes.reserve(Count() * TScoreListItem::RecordSize);
    for (const auto& item : FItems)
        bytes += item->SaveToRecord();
    if (!AtomicFile::Write(fileName, bytes, AtomicFile::Links::Follow, nullptr)) {
        Dialogs::Current().Message(DialogKind::Information, CannotSaveText, dbOK);
        FSaveFailed = true;
    }
}

void TScoreList::ReleaseFile() {
    if (FHandle < 0) return;
    const int handle = FHandle;
    FHandle = -1;
    if (::close(handle) != 0)
        throw EScoreListSaveError(QStringLiteral("Unable to close file. ErrorCode: ") +
                                  QString::number(errno));
}

void TScoreList::Close() {
    if (!FIsOpen) return;
    struct MarkClosed {
        bool& open;
        ~MarkClosed() { open = false; }
    } markClosed{FIsOpen};
    if (FReadOnly) return;
    if (FModified && !FSaveFailed) Save(FileName());
    FModified = false;
    ReleaseFile();
}

void TScoreList::NoFile() {
    if (OnNoFile) OnNoFile(this);
}

QString ScoreListFolder(const QString& scoreListPath, const QString& programFolder,
                        bool besideProgram, const QString& userDataFolder) {
    if (!scoreListPath.isEmpty())
        return Folders::WithTrailingSeparator(Folders::WithoutTrailingSeparator(scoreListPath));
    return besideProgram ? programFolder : userDataFolder;
}

QString ScoreListFilePath(const QString& scoreListPath) {
    const QString program = Folders::ProgramFolder();
    const bool beside = Folders::IsWritable(program) && !Folders::IsInstalled();
    const QString folder =
        ScoreListFolder(scoreListPath, program, beside, Folders::UserDataFolder());
    if (scoreListPath.isEmpty() && folder != program) Folders::Ensure(folder);
    return folder + QStringLiteral("Scores");
}

void ScoreListNoFile(TScoreList& list) {
    for (int i = 0; i < 10; ++i)
        list.InsertScore(std::make_unique<TScoreListItem>(QStringLiteral("ACE"), 10000 - 1000 * i));
}

QString ScoreDateText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yy"));
}
