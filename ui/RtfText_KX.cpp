#include "ui/RtfText_KX.h"

#include <QColor>
#include <QList>
#include <QPair>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <vector>

namespace {
// Word processors measure in twips; the view in pixels of a 96 dpi screen.
constexpr int TwipsPerPixel = 15;
// Anything nested deeper than this is damaged or hostile; its text still shows.
constexpr int MaxDepth = 200;
constexpr int MaxTabStops = 32;
const QChar TabMark = QLatin1Char('\t');
const QChar LineMark = QChar(0x2028);

struct Format {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int HalfPoints = 0; // 0: the view's own size
    int Colour = 0;     // an index into the colour table; 0 is the view's own colour
    bool operator==(const Format&) const = default;
};

struct Paragraph {
    int Before = 0, After = 0, Left = 0, First = 0; // in twips
    QString Align;
    QList<int> TabStops;
};

enum class Destination { Text, Skipped, Colours };

struct State {
    Format Chars;
    Paragraph Para;
    Destination Into = Destination::Text;
    int UnicodeSkip = 1;
};

struct Run {
    QString Text;
    Format Chars;
};

// Windows-1252's letters at 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QChar FromCp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return QChar(Cp1252High[byte - 0x80]);
    return QChar(byte);
}

int Clamp(int value, int limit) {
    return std::clamp(value, -limit, limit);
}

QString Pixels(int twips) {
    return QString::number(twips / TwipsPerPixel) + QStringLiteral("px");
}

class Reader {
public:
    explicit Reader(const QByteArray& rtf) : FIn(rtf) {}
    QString Html();

private:
    void OpenGroup();
    void CloseGroup();
    void ReadControl();
    void ControlSymbol(char symbol);
    void ControlWord(const QByteArray& word, bool hasParam, int param);
    bool SetFormat(const QByteArray& word, bool hasParam, int param);
    bool SetParagraph(const QByteArray& word, int param);
    bool Symbol(const QByteArray& word);
    void Text(QChar c);
    void ColourText(QChar c);
    void EndParagraph();
    void EndTable();
    QString RunsHtml(const std::vector<Run>& runs) const;
    QString FormatStyle(const Format& chars) const;
    QString TableRow() const;

    const QByteArray& FIn;
    qsizetype FAt = 0;
    State FState;
    std::vector<State> FSaved;
    int FTooDeep = 0;
    int FSkipChars = 0;
    std::vector<Run> FRuns;
    QList<QColor> FColours;
    int FRed = 0, FGreen = 0, FBlue = 0;
    bool FColourGiven = false;
    QString FHtml;
    QStringList FTableRows;
};

QString Reader::Html() {
    while (FAt < FIn.size()) {
        const char c = FIn[FAt++];
        if (c == '{')
            OpenGroup();
        else if (c == '}')
            CloseGroup();
        else if (c == '\\')
            ReadControl();
        else if (c != '\r' && c != '\n')
            Text(FromCp1252(static_cast<unsigned char>(c)));
    }
    if (!FRuns.empty()) EndParagraph();
    EndTable();
    return QStringLiteral("<html><body>") + FHtml + QStringLiteral("</body></html>");
}

void Reader::OpenGroup() {
    FSkipChars = 0;
    if (FSaved.size() >= MaxDepth) {
        ++FTooDeep;
        return;
    }
    FSaved.push_back(FState);
}

void Reader::CloseGroup() {
    FSkipChars = 0;
    if (FTooDeep > 0) {
        --FTooDeep;
        return;
    }
    // A stray closing brace leaves the outermost state as it is.
    if (FSaved.empty()) return;
    FState = FSaved.back();
    FSaved.pop_back();
}

void Reader::ReadControl() {
    if (FAt >= FIn.size()) return;
    const auto isLetter = [this] {
        return FAt < FIn.size() && std::isalpha(static_cast<unsigned char>(FIn[FAt]));
    };
    const auto isDigit = [this] {
        return FAt < FIn.size() && std::isdigit(static_cast<unsigned char>(FIn[FAt]));
    };
    if (!isLetter()) {
        ControlSymbol(FIn[FAt++]);
        return;
    }
    QByteArray word;
    while (isLetter()) {
        if (word.size() < 32) word += FIn[FAt];
        ++FAt;
    }
    const bool negative = FAt < FIn.size() && FIn[FAt] == '-';
    if (negative) ++FAt;
    const bool hasParam = isDigit();
    long long value = 0;
    while (isDigit()) {
        value = std::min<long long>(value * 10 + (FIn[FAt] - '0'), 1000000000);
        ++FAt;
    }
    if (FAt < FIn.size() && FIn[FAt] == ' ') ++FAt;
    ControlWord(word, hasParam, static_cast<int>(negative ? -value : value));
}

void Reader::ControlSymbol(char symbol) {
    switch (symbol) {
    case '\'': {
        const QByteArray hex = FIn.mid(FAt, 2);
        bool ok = false;
        const int byte = hex.toInt(&ok, 16);
        if (!ok || hex.size() != 2) return;
        FAt += 2;
        Text(FromCp1252(static_cast<unsigned char>(byte)));
        return;
    }
    case '*':
        FState.Into = Destination::Skipped;
        return;
    case '\n':
    case '\r':
        ControlWord("par", false, 0);
        return;
    case '~':
        Text(QChar(0x00A0));
        return;
    case '_':
        Text(QLatin1Char('-'));
        return;
    case '\\':
    case '{':
    case '}':
        Text(QLatin1Char(symbol));
        return;
    default: // an optional hyphen, a formula mark, or unknown
        return;
    }
}

void Reader::ControlWord(const QByteArray& word, bool hasParam, int param) {
    static const QList<QByteArray> skipped = {
        "fonttbl", "stylesheet", "info",     "pict",      "header",           "footer",
        "fldinst", "object",     "footnote", "listtable", "listoverridetable"};
    if (FState.Into == Destination::Skipped) return;
    if (FState.Into == Destination::Colours) {
        const int level = std::clamp(param, 0, 255);
        for (const auto& [name, part] :
             {QPair<const char*, int*>{"red", &FRed}, {"green", &FGreen}, {"blue", &FBlue}})
            if (word == name) {
                *part = level;
                FColourGiven = true;
            }
        return;
    }
    if (skipped.contains(word)) {
        FState.Into = Destination::Skipped;
    } else if (word == "colortbl") {
        FState.Into = Destination::Colours;
        FColours.clear();
        FColourGiven = false;
    } else if (word == "par") {
        EndParagraph();
    } else if (word == "u" && hasParam) {
        Text(QChar(static_cast<char16_t>(param < 0 ? param + 65536 : param)));
        FSkipChars = FState.UnicodeSkip;
    } else if (word == "uc") {
        FState.UnicodeSkip = std::clamp(param, 0, 8);
    } else if (!SetFormat(word, hasParam, param) && !SetParagraph(word, param)) {
        Symbol(word);
    }
}

bool Reader::SetFormat(const QByteArray& word, bool hasParam, int param) {
    const bool on = !hasParam || param != 0;
    Format& chars = FState.Chars;
    if (word == "b")
        chars.Bold = on;
    else if (word == "i")
        chars.Italic = on;
    else if (word == "ul")
        chars.Underline = on;
    else if (word == "ulnone")
        chars.Underline = false;
    else if (word == "fs")
        chars.HalfPoints = std::clamp(param, 0, 400);
    else if (word == "cf")
        chars.Colour = std::max(param, 0);
    else if (word == "plain")
        chars = Format();
    else
        return false;
    return true;
}

bool Reader::SetParagraph(const QByteArray& word, int param) {
    static const QList<QPair<QByteArray, QString>> alignments = {{"ql", QString()},
                                                                 {"qc", QStringLiteral("center")},
                                                                 {"qr", QStringLiteral("right")},
                                                                 {"qj", QStringLiteral("justify")}};
    constexpr int limit = 20 * 1440; // twenty inches
    Paragraph& para = FState.Para;
    for (const auto& [name, align] : alignments)
        if (word == name) {
            para.Align = align;
            return true;
        }
    if (word == "pard")
        para = Paragraph();
    else if (word == "sb")
        para.Before = std::clamp(param, 0, limit);
    else if (word == "sa")
        para.After = std::clamp(param, 0, limit);
    else if (word == "li")
        para.Left = Clamp(param, limit);
    else if (word == "fi")
        para.First = Clamp(param, limit);
    else if (word == "tx" && para.TabStops.size() < MaxTabStops)
        para.TabStops.append(std::clamp(param, 0, limit));
    else
        return word == "tx";
    return true;
}

bool Reader::Symbol(const QByteArray& word) {
    static const QList<QPair<QByteArray, char16_t>> symbols = {
        {"tab", u'\t'},        {"line", 0x2028},    {"bullet", 0x2022},  {"emdash", 0x2014},
        {"endash", 0x2013},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
        {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005}};
    for (const auto& [name, c] : symbols)
        if (word == name) {
            Text(QChar(c));
            return true;
        }
    return false;
}

void Reader::Text(QChar c) {
    if (FSkipChars > 0) {
        --FSkipChars;
        return;
    }
    if (FState.Into == Destination::Colours) return ColourText(c);
    if (FState.Into != Destination::Text) return;
    if (FRuns.empty() || !(FRuns.back().Chars == FState.Chars)) FRuns.push_back({{}, FState.Chars});
    FRuns.back().Text += c;
}

void Reader::ColourText(QChar c) {
    // An entry without levels is the view's own colour.
    if (c != QLatin1Char(';')) return;
    FColours.append(FColourGiven ? QColor(FRed, FGreen, FBlue) : QColor());
    FRed = FGreen = FBlue = 0;
    FColourGiven = false;
}

void Reader::EndParagraph() {
    const Paragraph& para = FState.Para;
    const bool row = !para.TabStops.isEmpty() &&
                     std::any_of(FRuns.begin(), FRuns.end(),
                                 [](const Run& run) { return run.Text.contains(TabMark); });
    if (row) {
        FTableRows << TableRow();
    } else {
        EndTable();
        QString style = QStringLiteral("margin-top:%1; margin-bottom:%2; margin-left:%3; "
                                       "text-indent:%4; white-space:pre-wrap")
                            .arg(Pixels(para.Before), Pixels(para.After), Pixels(para.Left),
                                 Pixels(para.First));
        const QString align =
            para.Align.isEmpty() ? QString() : QStringLiteral(" align=\"%1\"").arg(para.Align);
        const QString text = FRuns.empty() ? QStringLiteral("&nbsp;") : RunsHtml(FRuns);
        FHtml += QStringLiteral("<p style=\"%1\"%2>%3</p>\n").arg(style, align, text);
    }
    FRuns.clear();
}

QString Reader::TableRow() const {
    // The text between two tabs is one cell, as wide as the distance between its stops.
    std::vector<std::vector<Run>> cells(1);
    for (const Run& run : FRuns) {
        const QStringList parts = run.Text.split(TabMark);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) cells.emplace_back();
            if (!parts[i].isEmpty()) cells.back().push_back({parts[i], run.Chars});
        }
    }
    const Paragraph& para = FState.Para;
    QString html = QStringLiteral("<tr>");
    int from = para.Left;
    for (size_t i = 0; i < cells.size(); ++i) {
        const bool stopped = i < static_cast<size_t>(para.TabStops.size());
        const int to = stopped ? para.TabStops[static_cast<qsizetype>(i)] : from;
        const QString width =
            stopped ? QStringLiteral(" width=\"%1\"").arg(std::max(to - from, 0) / TwipsPerPixel)
                    : QString();
        html +=
            QStringLiteral(
                "<td%1 style=\"padding-top:%2; padding-bottom:%3; white-space:pre-wrap\">%4</td>")
                .arg(width, Pixels(para.Before), Pixels(para.After), RunsHtml(cells[i]));
        from = to;
    }
    return html + QStringLiteral("</tr>");
}

void Reader::EndTable() {
    if (FTableRows.isEmpty()) return;
    FHtml += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">\n") +
             FTableRows.join(QLatin1Char('\n')) + QStringLiteral("\n</table>\n");
    FTableRows.clear();
}

QString Reader::RunsHtml(const std::vector<Run>& runs) const {
    QString html;
    for (const Run& run : runs) {
        QString text = run.Text.toHtmlEscaped();
        text.replace(TabMark, QStringLiteral("&nbsp;&nbsp;"));
        text.replace(LineMark, QStringLiteral("<br>"));
        const QString style = FormatStyle(run.Chars);
        html += style.isEmpty() ? text
                                : QStringLiteral("<span style=\"%1\">%2</span>").arg(style, text);
    }
    return html;
}

QString Reader::FormatStyle(const Format& chars) const {
    QStringList style;
    if (chars.Bold) style << QStringLiteral("font-weight:bold");
    if (chars.Italic) style << QStringLiteral("font-style:italic");
    if (chars.Underline) style << QStringLiteral("text-decoration:underline");
    if (chars.HalfPoints > 0) style << QStringLiteral("font-size:%1pt").arg(chars.HalfPoints / 2.0);
    const QColor colour = chars.Colour < FColours.size() ? FColours[chars.Colour] : QColor();
    if (colour.isValid()) style << QStringLiteral("color:") + colour.name();
    return style.join(QStringLiteral("; "));
}
} // namespace

QString RtfText::ToHtml(const QByteArray& rtf) {
    return Reader(rtf).Html();
}
