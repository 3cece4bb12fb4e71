// Runs the fuzz target's checks without libFuzzer: on every file given (or every file in a
// folder given), then on marker-dense random inputs, so the comparison with the byte-by-byte walk
// runs in every build.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdint>
#include <cstdio>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void run(const QByteArray& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           size_t(bytes.size()));
}

} // namespace

int main(int argc, char* argv[]) {
    int files = 0;
    for (int a = 1; a < argc; ++a) {
        const QString path = QFile::decodeName(argv[a]);
        QStringList paths{path};
        if (!QFileInfo::exists(path)) {
            std::printf("skipped %s: not there\n", qPrintable(path));
            continue;
        }
        if (QFileInfo(path).isDir()) {
            paths.clear();
            const QDir dir(path);
            for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
                paths << dir.filePath(name);
        }
        for (const QString& file : paths) {
            QFile input(file);
            if (!input.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
                return 1;
            }
            run(input.readAll());
            ++files;
        }
    }
    // Mostly marker bytes, so markers overlap, touch and sit at every edge of the file.
    QRandomGenerator random(20261206);
    const char alphabet[] = {0x00, 0x10, 0x07, 0x40, 0x04, 'a', char(0xE9), char(0x80)};
    const int rounds = 20000;
    for (int round = 0; round < rounds; ++round) {
        QByteArray bytes(64 + random.bounded(40), '\x01');
        for (int k = random.bounded(60); k > 0; --k)
            bytes.append(alphabet[random.bounded(int(sizeof alphabet))]);
        run(bytes);
    }
    // Window sizes that overflow, divide badly or are no numbers at all.
    const float odd[] = {std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::max(),
                         std::numeric_limits<float>::quiet_NaN(),
                         -1,
                         0,
                         1e30f};
    for (float a : odd) {
        for (float b : odd) {
            const float values[] = {a, b, 300, 1680, 2010};
            run(QByteArray(reinterpret_cast<const char*>(values), sizeof values));
        }
    }
    std::printf("%d files and %d random inputs checked\n", files, rounds);
    return 0;
}
