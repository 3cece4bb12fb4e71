#include "cli/Output.h"

#include "base/Failure.h"
#include "base/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace quorrel::cli {

void writeOut(const QByteArray& bytes) {
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
        throw Failure::notWritten(QStringLiteral("to standard output"));
}

void deliverInt(const QString& package, const QString& packageName, const QByteArray& bytes,
                const QString& folder) {
    if (folder == QLatin1String("-")) {
#ifdef Q_OS_WIN
        // In text mode the C runtime would write each CR LF of the file as CR CR LF.
        _setmode(_fileno(stdout), _O_BINARY);
#endif
        return writeOut(bytes);
    }
    const QDir into(folder.isEmpty() ? QFileInfo(package).absolutePath() : folder);
    writeWholeFile(into.filePath(packageName + QStringLiteral(".int")), bytes);
}

void printError(const QString& line) {
    static QTextStream err(stderr);
    err << "quorrel-int: " << line << '\n';
    err.flush();
}

} // namespace quorrel::cli
