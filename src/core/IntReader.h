#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace quorrel {

// One Object line of an .int file's [public] section.
struct IntEntry {
    int line = 0;    // counting from 1
    QString package; // what Name= holds before its first "."
    QString object;  // and after it
    QString className;
    std::optional<QString> description;
};

// The text of an .int file: Windows-1252, or UTF-16 after its byte-order mark, as the game reads.
QString decodeIntFile(QByteArrayView bytes);

// The Object entries of the [public] section in file order, read as tolerantly as the game reads
// them: section names and keys without regard to case, spaces around "=", quoted or unquoted
// values, other sections and comment lines skipped, CR LF or LF.
QList<IntEntry> readIntEntries(QStringView text);

} // namespace quorrel
