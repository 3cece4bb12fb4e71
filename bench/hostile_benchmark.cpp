// The heavy hostile packages, timed through the real scan, each checked for the right outcome:
// 300 MiB of zero bytes (no marker anywhere) and one name that runs for 100 MiB.
//
//   build/bench/hostile_benchmark
#include "PackageBuilder.h"

#include "base/Failure.h"
#include "workflows/GeneratorState.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool timeScan(const char* what, const QString& path, bool expectFailure, qsizetype nameLength) {
    quorrel::GeneratorState state;
    state.setPackageName(QStringLiteral("a_Skin"));
    QElapsedTimer timer;
    timer.start();
    bool failed = false;
    try {
        quorrel::ParseFile(state, path);
    } catch (const quorrel::Failure&) {
        failed = true;
    }
    const qint64 ms = timer.elapsed();
    const bool right =
        failed == expectFailure &&
        (nameLength < 0 || (state.nameCount() == 1 && state.names().first().size() == nameLength));
    std::printf("%-34s %6lld ms  %s\n", what, static_cast<long long>(ms),
                right ? "as expected" : "WRONG OUTCOME");
    return right;
}

} // namespace

int main() {
    QTemporaryDir dir;
    const QString zeros = dir.filePath(QStringLiteral("zeros.utx"));
    QFile zeroFile(zeros);
    if (!zeroFile.open(QIODevice::WriteOnly) || !zeroFile.resize(qint64(300) << 20))
        return 2;
    zeroFile.close();

    const qsizetype longName = qsizetype(100) << 20;
    QByteArray bytes = testpkg::kHeader + '\x05' + QByteArray(longName, 'a');
    bytes += QByteArray("\x00\x10\x00\x07\x00\x00", 6) + testpkg::kStopMarker + '\0';
    const QString named = dir.filePath(QStringLiteral("long-name.utx"));
    QFile namedFile(named);
    if (!namedFile.open(QIODevice::WriteOnly) || namedFile.write(bytes) != bytes.size())
        return 2;
    namedFile.close();
    bytes.clear();

    bool right = timeScan("300 MiB of zeros (fails)", zeros, true, -1);
    right &= timeScan("one 100 MiB name", named, false, longName);
    return right ? 0 : 1;
}
