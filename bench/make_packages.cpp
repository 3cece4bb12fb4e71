// Writes the benchmark packages into a folder: Many_Names.utx (a million short names) and
// Big_Random.utx (64 MiB, random data after the name table); and a small skin package,
// SoldierSkins_Tigr.utx, for the Windows install check; and SoldierSkins_Cats.utx, two skins with
// faces in real pictures, for the screenshots of the game view. With --game, a game folder of
// COUNT skin packages and their model instead (benchpkg::writeGameFolder()); with --pictures, COUNT
// skin-like true-colour PNG pictures of 256x256, Skin01.png and on, for quorrel-int --make.
//
//   build/bench/make_packages FOLDER
//   build/bench/make_packages --game FOLDER COUNT
//   build/bench/make_packages --pictures FOLDER COUNT
#include "BenchPackages.h"
#include "SkinPictures.h"

#include <QDir>
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc == 4 && QByteArrayView(argv[1]) == "--game") {
        if (benchpkg::writeGameFolder(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3])))
            return 0;
        std::fprintf(stderr, "make_packages: cannot write the game folder %s\n", argv[2]);
        return 1;
    }
    if (argc == 4 && QByteArrayView(argv[1]) == "--pictures") {
        const QDir folder(QString::fromLocal8Bit(argv[2]));
        folder.mkpath(QStringLiteral("."));
        for (int i = 1; i <= std::atoi(argv[3]); ++i) {
            const quorrel::Picture picture =
                skinpictures::softenToTarget(skinpictures::paint(i), quint64(i));
            const QImage image(reinterpret_cast<const uchar*>(picture.rgba.constData()),
                               picture.width, picture.height, QImage::Format_RGBA8888);
            if (!image.convertToFormat(QImage::Format_RGB888)
                     .save(folder.filePath(
                         QStringLiteral("Skin%1.png").arg(i, 2, 10, QChar(u'0'))))) {
                std::fprintf(stderr, "make_packages: cannot write into %s\n", argv[2]);
                return 1;
            }
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(
            stderr, "usage: make_packages FOLDER | make_packages --game|--pictures FOLDER COUNT\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!benchpkg::writeFile(folder.filePath(QStringLiteral("Many_Names.utx")),
                             benchpkg::nameHeavyPackage(1'000'000)) ||
        !benchpkg::writeFile(folder.filePath(QStringLiteral("Big_Random.utx")),
                             benchpkg::randomTailPackage(64 * 1024 * 1024, true)) ||
        !benchpkg::writeFile(folder.filePath(QStringLiteral("SoldierSkins_Tigr.utx")),
                             testpkg::package({"None", "soldierskins_Tigr", "Tigr1", "Tigr2",
                                               "Tigr4Malcolm", "Tigr5Malcolm"})) ||
        !benchpkg::writeFile(folder.filePath(QStringLiteral("SoldierSkins_Cats.utx")),
                             benchpkg::skinShowcasePackage())) {
        std::fprintf(stderr, "make_packages: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
