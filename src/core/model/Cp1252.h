#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tarmelo::model {

// Windows-1252 is the character set of the records and of every marketplace file.
QString fromCp1252(const QByteArray& bytes);

// nullopt when the text holds a character that Windows-1252 cannot hold; never substitutes "?".
std::optional<QByteArray> toCp1252(const QString& text);

// True when the character can be stored in a record.
bool isCp1252(QChar c);

// The first character of text that Windows-1252 cannot hold, or a null QChar.
QChar firstNonCp1252(const QString& text);

// German message for a text that cannot be stored.
QString nonCp1252Message(const QString& text);

// Windows-1252 case mapping (ANSI upper/lower), used for brand names and comparisons.
QByteArray upperCp1252(const QByteArray& bytes);
QByteArray lowerCp1252(const QByteArray& bytes);

} // namespace tarmelo::model
