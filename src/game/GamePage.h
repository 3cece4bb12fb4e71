#pragma once

#include "game/GameCheck.h"

#include <QByteArray>

#include <functional>

// A whole-game check as one self-contained HTML page, pictures inline: for each model each skin
// the menu lists, drawn on the model as quorrel-int --render draws it, with its faces' portraits;
// then each problem under its package. No scripts; it reads on a wide screen and at a phone's
// width.
namespace quorrel {

// Told after each skin is drawn: how many are, of how many.
using PageProgress = std::function<void(qsizetype done, qsizetype total)>;

// The page, in UTF-8. Reads each model's mesh, then the skin packages whole, one at a time; a
// model or package that cannot be read is said in its place.
QByteArray gamePage(const GameCheck& check, const PageProgress& progress = {});

} // namespace quorrel
