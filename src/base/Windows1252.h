#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The game's Western releases store names and read .int files in Windows-1252. Every conversion
// between package or .int bytes and characters goes through here, so both directions agree on
// every platform, whatever the system's own code page is.
namespace quorrel::windows1252 {

// Each byte gives one character. The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the code points of the same value, so no byte is ever lost.
QString decode(QByteArrayView bytes);

// Each character (a surrogate pair counts as one) gives one byte; "?" stands for a character
// that has no byte. decode() followed by encode() gives back the original bytes.
QByteArray encode(QStringView text);

// encode() into `out`, which has room for text.size() bytes; returns how many it wrote.
qsizetype encodeInto(QStringView text, char* out);

} // namespace quorrel::windows1252
