#pragma once

#include <QString>

namespace quorrel {

// The info panel's fixed text: eleven lines joined by CR LF, none after the last.
QString buildInfoText();

} // namespace quorrel
