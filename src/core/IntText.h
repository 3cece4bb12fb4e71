#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorrel {

class GeneratorState;

// The .int text: "[public]", an empty line, then one Object line per picture in list order, every
// line ended by CR LF. Picture 0 is described by the skin description; a later picture by what
// follows the first "4" of its name, when that "4" is not last and the name holds no "_". Nothing
// is escaped. An empty list still gives one Object line, for an empty picture name.
QString buildIntText(const QString& packageName, const QString& skinDescription,
                     const QStringList& pictures);

// One Object line: a texture, and its description when it has one.
struct IntObject {
    QString name;
    std::optional<QString> description;
};

// The same layout for a list of objects chosen by the caller.
QString buildIntText(const QString& packageName, const QList<IntObject>& objects);

// "Make INT": replaces the INT text with the text built from the state.
void MakeInt(GeneratorState& state);

// The bytes of a saved .int file: the text in Windows-1252, then CR LF. No byte-order mark.
QByteArray intFileBytes(const QString& intText);
// intFileBytes(buildIntText(...)), without the text in between: for a text nobody edits.
QByteArray intFileBytes(const QString& packageName, const QString& skinDescription,
                        const QStringList& pictures);

// Writes intFileBytes() to `path` through a temporary file beside it, so a failed write leaves any
// previous file as it was and no partial file behind. Returns false on any failure.
bool writeIntFile(const QString& path, const QString& intText);
// The same for bytes already made.
bool writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace quorrel
