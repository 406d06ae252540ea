#include "persistence/KeyTable_KX.h"
#include "ui/ReadMeKeys_KX.h"
#include "ui/ReadMeWindow_KX.h"
#include "ui/RtfText_KX.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {
QString PlainText(const QByteArray& rtf) {
    QTextDocument document;
    document.setHtml(RtfText::ToHtml(rtf));
    return document.toPlainText();
}

// The words of a text, what is not plain ASCII (quotes, bullets, section signs) left out.
QStringList AsciiWords(QString text) {
    text.remove(QRegularExpression(QStringLiteral("[^\\x{20}-\\x{7e}\\s]")));
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The read-me's words as a word processor shows them, worked out the crude way:
// the document from its first paragraph on, without control words and braces.
QStringList RtfWords(const QByteArray& rtf) {
    QString body = QString::fromLatin1(rtf.mid(rtf.indexOf("{\\pard")));
    body.replace(QRegularExpression(QStringLiteral("\\\\'[0-9a-f]{2}")), QString());
    body.replace(QRegularExpression(QStringLiteral("\\\\[a-z]+-?[0-9]* ?")), QStringLiteral(" "));
    body.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    return AsciiWords(body);
}

QByteArray ShippedReadMe() {
    QFile file(qEnvironmentVariable("KOLVEX_TEST_SOURCE_DIR") + QStringLiteral("/ui/ReadMe.rtf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TEST(ReadMe, TheProgramsWindowShowsTheTextOfTheRtfWithTheKeysInForce) {
    const QByteArray original = ShippedReadMe();
    ASSERT_FALSE(original.isEmpty());
    TKeyTable changed = TKeyTable::Defaults();
    changed.SetKey(TKeyTable::Slot(1, 2), 44); // J's place
    TReadMeWindow window(nullptr);
    for (const TKeyTable& keys : {TKeyTable::Defaults(), changed}) {
        const QByteArray rtf = ReadMeKeys::WithKeys(original, keys);
        window.SetText(rtf);
        const QStringList shown = AsciiWords(window.Text());
        EXPECT_GT(shown.size(), 500);
        EXPECT_EQ(shown, RtfWords(rtf));
    }
    EXPECT_TRUE(window.Text().contains(QStringLiteral("Turn the brick\nUp arrow\nJ")) ||
                window.Text().contains(QStringLiteral("Turn the brick\tUp arrow\tJ")))
        << window.Text().toStdString();
}

TEST(ReadMe, RtfTextTakesWhatWordProcessorsWrite) {
    const struct {
        QByteArray Rtf;
        QString Text;
    } cases[] = {
        {R"({\rtf1\ansi caf\'e9, \'93quoted\'94 \'80 5\par})",
         QStringLiteral("café, “quoted” € 5")},
        {R"({\rtf1\uc1 \u8364?\u-3913? {\uc2\u916 xx}y\par})", QStringLiteral("€\uF0B7 Δy")},
        {R"({\rtf1 a\\b\{c\}\~d  e\par})", QStringLiteral("a\\b{c} d  e")},
        {R"({\rtf1{\fonttbl{\f0\fswiss Arial;}}{\*\generator Writer;}{\info{\title T}}body\par})",
         QStringLiteral("body")},
        {R"({\rtf1 one\par two\line three\par})", QStringLiteral("one\ntwo\nthree")},
        {R"({\rtf1\bullet\tab item\emdash end)", QStringLiteral("•  item—end")},
        // Damaged: an unknown word, a broken escape, stray and missing braces.
        {R"(}}{\rtf1 \zork42 kept \'zz {{ open \u)", QStringLiteral("kept zz  open ")},
        {QByteArray(100000, '{') + "deep", QStringLiteral("deep")},
        {"", QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlainText(c.Rtf), c.Text) << c.Rtf.left(80).constData();
}

TEST(ReadMe, RtfTextKeepsTheLooksThatCarryMeaning) {
    const QString html =
        RtfText::ToHtml(R"({\rtf1{\colortbl;\red0\green0\blue128;}{\pard\qc\fs40\cf1 Title\par})"
                        R"({\pard\tx2600\tx4600 {\b Key}\tab {\i Left}\tab A\par}})");
    for (const char* part :
         {"align=\"center\"", "font-size:20pt", "color:#000080", "<td width=\"173\"",
          "<td width=\"133\"", "font-weight:bold", "font-style:italic"})
        EXPECT_TRUE(html.contains(QLatin1String(part))) << part << "\n" << html.toStdString();
}
