// How long quorrel-int takes on a whole game of 1,000 skin packages (about 600 MB) with their .int
// files and their model, the files in the page cache: --check-game (target 2 s) and --gallery
// (target 20 s); and the peak memory of each (target 300 MB).
//
//   build/bench/game_check_benchmark QUORREL-INT FOLDER [RUNS]
//
// It writes the game folder into FOLDER when that holds none, then runs quorrel-int RUNS times
// (3 by default) after one run that warms the cache. Each run is started with posix_spawn, so its
// peak memory (wait4's, the kernel's high-water mark of its resident set) is its own alone.
#include "BenchPackages.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

struct Measured {
    qint64 ms = -1;
    long peakMb = -1;
    int status = -1;
};

// Runs the program with standard output and error into /dev/null.
Measured measure(const QStringList& command) {
    std::vector<QByteArray> bytes;
    for (const QString& word : command)
        bytes.push_back(word.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : bytes)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Measured result;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
            result.ms = timer.elapsed();
            result.peakMb = usage.ru_maxrss / 1024;
            result.status = WEXITSTATUS(status);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

// "min..max" of the runs' times, and the largest peak.
void report(const char* name, const QStringList& command, int runs) {
    measure(command); // the cache warmed
    std::vector<qint64> times;
    long peak = 0;
    int status = 0;
    for (int run = 0; run < runs; ++run) {
        const Measured m = measure(command);
        times.push_back(m.ms);
        peak = std::max(peak, m.peakMb);
        status = std::max(status, m.status);
    }
    std::sort(times.begin(), times.end());
    std::printf("%s_ms %lld..%lld\n%s_peak_mb %ld\n%s_status %d\n", name,
                static_cast<long long>(times.front()), static_cast<long long>(times.back()), name,
                peak, name, status);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: game_check_benchmark QUORREL-INT FOLDER [RUNS]\n");
        return 2;
    }
    const QString quorrelInt = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    if (!QDir(folder).exists(QStringLiteral("System")) &&
        !benchpkg::writeGameFolder(folder, 1000)) {
        std::fprintf(stderr, "cannot write the game folder into %s\n", argv[2]);
        return 1;
    }
    qint64 bytes = 0;
    int packages = 0;
    for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        it.next();
        bytes += it.fileInfo().size();
        packages += it.fileName().endsWith(QLatin1String(".utx"));
    }
    std::printf("packages %d\nfolder_mb %lld\n", packages, bytes / (1024 * 1024));
    report("check", {quorrelInt, QStringLiteral("--check-game"), folder}, runs);
    QTemporaryDir out;
    report("gallery",
           {quorrelInt, QStringLiteral("--gallery"), out.filePath(QStringLiteral("game.html")),
            folder},
           runs);
    std::printf("gallery_mb %lld\n",
                QFileInfo(out.filePath(QStringLiteral("game.html"))).size() / (1024 * 1024));
    return 0;
}
