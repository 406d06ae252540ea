#pragma once

#include <QString>

// The addresses behind "Help > On the Internet" and how they are opened.
namespace HelpLinks {

// Host and path; "http://" goes in front.
inline const QString KolvexHomePage = QStringLiteral("kolvex.example.org/");
inline const QString BrenmarHomePage = QStringLiteral("brenmar.example.org/");
inline const QString BrenmarMail = QStringLiteral("kolvex@brenmar.example.org");

// Hands the page to the desktop's browser; says where it is when that fails.
void OpenWebPage(const QString& address);
// Opens a mail to the maker; says the address when no mail program starts.
void WriteMail();

} // namespace HelpLinks
