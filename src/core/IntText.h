#pragma once

#include <QString>
#include <QStringList>

namespace quorrel {

class GeneratorState;

// The .int text: "[public]", an empty line, then one Object line per picture in list order, every
// line ended by CR LF. Picture 0 is described by the skin description; a later picture by what
// follows the first "4" of its name, when that "4" is not last and the name holds no "_". Nothing
// is escaped. An empty list still gives one Object line, for an empty picture name.
QString buildIntText(const QString& packageName, const QString& skinDescription,
                     const QStringList& pictures);

// "Make INT": replaces the INT text with the text built from the state.
void MakeInt(GeneratorState& state);

// The bytes of a saved .int file: the text in Windows-1252, then CR LF. No byte-order mark.
QByteArray intFileBytes(const QString& intText);

// Writes intFileBytes() to `path` through a temporary file beside it, so a failed write leaves any
// previous file as it was and no partial file behind. Returns false on any failure.
bool writeIntFile(const QString& path, const QString& intText);

} // namespace quorrel
