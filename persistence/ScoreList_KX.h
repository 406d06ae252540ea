#pragma once

#include "platform/Exception.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The score file could not be closed.
class EScoreListSaveError : public Exception {
public:
    using Exception::Exception;
};

// One entry of the top-score list and one 520-byte record of the score file:
// name (length byte and 255 characters), score (32-bit), date (as the name),
// play time (32-bit), little-endian.
class TScoreListItem {
public:
    static constexpr int RecordSize = 520;

    TScoreListItem() = default;
    TScoreListItem(const QString& playerName, int32_t score, const QString& dateText = QString());

    QString PlayerName;
    int32_t Score = 0;
    QString DateText;
    int32_t PlayTime = 0;

    // An entry read from the file is written back byte for byte; a new entry's
    // unused characters are zero.
    void LoadFromRecord(const QByteArray& record);
    QByteArray SaveToRecord() const;

private:
    QByteArray FNameField; // the 255 stored characters as read
    QByteArray FDateField;
};

// The top-score list and its file. The file is held open, with an advisory
// lock, from Open to Close, so a second running copy of the game is told the
// list is in use instead of overwriting it. Once the file could not be opened
// or created the list is read-only for the rest of the run; once a save has
// failed nothing more is saved.
class TScoreList : public QObject {
public:
    explicit TScoreList(QObject* owner = nullptr);
    ~TScoreList() override;

    // Path and base name of the file, without the ".DAT".
    const QString& FilePath() const { return FFilePath; }
    void SetFilePath(const QString& path);
    int MaxScores() const { return FMaxScores; }
    void SetMaxScores(int maxScores);
    // Stored only.
    int MaxPlayerNameLength() const { return FMaxPlayerNameLength; }
    void SetMaxPlayerNameLength(int length);
    // Fills a list that has no file.
    std::function<void(QObject* Sender)> OnNoFile;

    // FilePath + ".DAT", or "ScoreLst.DAT" in the current folder.
    QString FileName() const;

    void Open();
    // Saves when changed and releases the file; raises EScoreListSaveError
    // when the file cannot be closed.
    void Close();

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises ERangeError for an index outside the list.
    const TScoreListItem& Items(int index) const;
    int GetInsertPosition(int32_t score) const;
    // Inserts at GetInsertPosition and returns that position; an item with no
    // place in the list is dropped and -1 returned.
    int InsertScore(std::unique_ptr<TScoreListItem> item);

    bool IsOpen() const { return FIsOpen; }
    bool ReadOnly() const { return FReadOnly; }
    bool Modified() const { return FModified; }
    bool SaveFailed() const { return FSaveFailed; }

private:
    // Opens and locks the existing file; false when it is in use or out of reach.
    bool TryOpenExisting(const QString& fileName);
    bool CreateFile(const QString& fileName, int* error);
    bool ReadItems(qint64* size);
    void Save(const QString& fileName);
    void ReleaseFile();
    void NoFile();

    QString FFilePath;
    int FMaxScores = 10;
    int FMaxPlayerNameLength = 20;
    std::vector<std::unique_ptr<TScoreListItem>> FItems;
    int FHandle = -1; // the open, locked score file
    bool FIsOpen = false;
    bool FReadOnly = false;
    bool FModified = false;
    bool FSaveFailed = false;
};

// The folder of the score file: the "ScoreListPath" setting when it is set;
// otherwise the program's folder when the file may go beside the program (a
// build folder, a portable copy: a folder that takes new files, of a program
// that is not installed), else the user's data folder.
QString ScoreListFolder(const QString& scoreListPath, const QString& programFolder,
                        bool besideProgram, const QString& userDataFolder);
// The data module's file location: "Scores" in the folder above for this
// program; the user's data folder is created when it is the one.
QString ScoreListFilePath(const QString& scoreListPath);
// The data module's OnNoFile: ten entries "ACE" scoring 10000 down to 1000.
void ScoreListNoFile(TScoreList& list);
// The date of an entry: "dd/mm/yy".
QString ScoreDateText(const QDate& date);
