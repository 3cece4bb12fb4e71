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

} // namespace quorrel
