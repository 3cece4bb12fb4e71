// Writes the benchmark packages into a folder: Many_Names.utx (a million short names) and
// Big_Random.utx (64 MiB, random data after the name table); and a small skin package,
// SoldierSkins_Tigr.utx, for the Windows install check; and SoldierSkins_Cats.utx, two skins with
// faces in real pictures, for the screenshots of the game view.
//
//   build/bench/make_packages FOLDER
#include "BenchPackages.h"

#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_packages FOLDER\n");
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
