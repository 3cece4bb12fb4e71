#pragma once

#include <QByteArray>
#include <QString>

namespace quorrel::cli {

// Writes bytes to standard output, checked, so a full device or a closed pipe is reported
// instead of passing for success. Throws Failure (NotWritten).
void writeOut(const QByteArray& bytes);

// Puts an .int file's bytes where the run sends them: `folder`/`packageName`.int, beside
// `package` when `folder` is empty, or standard output for "-". Throws Failure (NotWritten).
void deliverInt(const QString& package, const QString& packageName, const QByteArray& bytes,
                const QString& folder);

// "quorrel-int: " and the line, on standard error.
void printError(const QString& line);

} // namespace quorrel::cli
