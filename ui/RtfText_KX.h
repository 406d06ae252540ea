#pragma once

#include <QByteArray>
#include <QString>

// The read-me's RTF as HTML that a Qt text view shows: the one text serves
// the desktop's word processor and the program's own window.
//
// Understood: groups, \par, \pard, \plain, \line, \tab with \tx tab stops (a
// run of such paragraphs becomes a table), \b \i \ul, \fs, \cf with the colour
// table, \qc \qr \qj \ql, \sb \sa \li \fi, \'hh (Windows-1252), \u with \uc,
// \bullet, the quote and dash symbols and the escaped \\ \{ \}. Other control
// words are passed over, and the font table, the style sheet, the document
// information and every \* destination are skipped. Damaged or foreign RTF
// gives what text it holds, never an error.
namespace RtfText {
QString ToHtml(const QByteArray& rtf);
} // namespace RtfText
