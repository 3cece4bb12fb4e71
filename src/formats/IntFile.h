#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The .int localisation file: a "[public]" section of Object lines, CR LF line ends, Windows-1252.
// Written here as the tool writes it and read here as the game reads it.
namespace quorrel {

// The .int text the window builds: "[public]", an empty line, then one Object line per picture in
// list order, every line ended by CR LF. Picture 0 is described by the skin description; a later
// picture by what follows the first "4" of its name, when that "4" is not last and the name holds
// no "_". Nothing is escaped. An empty list still gives one Object line, for an empty picture name.
QString buildIntText(const QString& packageName, const QString& skinDescription,
                     const QStringList& pictures);

// One Object line: a texture, and its description when it has one.
struct IntObject {
    QString name;
    std::optional<QString> description;
};

// The same layout for a list of objects chosen by the caller.
QString buildIntText(const QString& packageName, const QList<IntObject>& objects);

// The bytes of a saved .int file: the text in Windows-1252, then CR LF. No byte-order mark.
QByteArray intFileBytes(const QString& intText);
// intFileBytes(buildIntText(...)), without the text in between: for a text nobody edits.
QByteArray intFileBytes(const QString& packageName, const QString& skinDescription,
                        const QStringList& pictures);

// One Object line of a [public] section, as the game reads it.
struct IntEntry {
    int line = 0;    // counting from 1
    QString package; // what Name= holds before its first "."
    QString object;  // and after it
    QString className;
    std::optional<QString> description;
    QString metaClass{}; // a class entry's: what it is listed as ("Botpack.TournamentPlayer")
};

// The text of an .int file: Windows-1252, or UTF-16 after its byte-order mark, as the game reads.
QString decodeIntFile(QByteArrayView bytes);

// The Object entries of the [public] section in file order, read as tolerantly as the game reads
// them: section names and keys without regard to case, spaces around "=", quoted or unquoted
// values, other sections and comment lines skipped, CR LF or LF.
QList<IntEntry> readIntEntries(QStringView text);

// Whether the entry is of class Texture (in any case).
bool isTextureEntry(const IntEntry& entry);

// Whether the menu counts the entry as described: a texture with a description that is not empty.
bool describesTexture(const IntEntry& entry);

// Whether a description written by buildIntText() reads back whole and described: not empty, and
// without a quote (the game ends a quoted value at the next one) or a line break.
bool readsBackWhole(QStringView description);

} // namespace quorrel
