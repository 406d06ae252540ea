#pragma once

#include <QString>

class QWidget;
class TKeyTable;

// The addresses behind "Help > On the Internet", the read-me, and how they are opened.
namespace HelpLinks {

// Host and path; "http://" goes in front.
inline const QString KolvexHomePage = QStringLiteral("kolvex.example.org/");
inline const QString BrenmarHomePage = QStringLiteral("brenmar.example.org/");
inline const QString BrenmarMail = QStringLiteral("kolvex@brenmar.example.org");

// Hands the page to the desktop's browser; says where it is when that fails.
void OpenWebPage(const QString& address);
// Opens a mail to the maker; says the address when no mail program starts.
void WriteMail();
// Opens the read-me, its key section naming the keys in force, with the
// desktop's handler for RTF files; where there is none, or it fails, the
// read-me shows in a window of the program's own, owned by `owner`.
void OpenReadMe(QWidget* owner, const TKeyTable& keys);

} // namespace HelpLinks
