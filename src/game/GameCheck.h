#pragma once

#include "rules/SkinMenu.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A whole game as its player menu sees it: for each player model the skins the menu will list,
// from every .int of System, and every way the menu will miss one. Reads the packages' tables
// only, never their pixels, and writes nothing.
namespace quorrel {

struct GameModel {
    MenuModel menu;        // the mesh as the game names it, and the rule its skins follow
    QString file;          // the .u that holds the mesh
    QList<MenuSkin> skins; // as the menu lists them, .int file by .int file
};

struct GameProblem {
    enum class Kind {
        Unreadable,     // a package or .int that cannot be read
        UnnamedPackage, // a skin package that no .int names
        MissingPackage, // an entry named for a model whose package is in neither folder
        MissingTexture, // an entry named for a model whose texture its package lacks
        ListedTwice,    // a texture that two .int files list
        PackageFinding, // what quorrel-int --check finds in a skin package: `finding`
        NoModel,        // an .int describes skins of a package named for no model
    };
    Kind kind;
    QString package;       // the package concerned; empty for an .int that cannot be read
    QString texture{};     // the texture concerned, when one is
    QStringList files{};   // the files concerned, as shown: relative to the game folder
    QString text{};        // one line of English, naming the files and the texture
    MenuFinding finding{}; // for PackageFinding
};

struct GameCheck {
    QString folder;          // the game folder, absolute
    QString system;          // its System folder
    QList<GameModel> models; // by mesh name
    QList<GameProblem> problems;
    QHash<QString, QString> packageFiles; // each package's file, by caseKey() of its name
};

// Reads the game in `folder`: every .int in System as the game reads it, the tables of every .utx
// in Textures and of every .u (and .utx) in System. The models are the meshes of System's .u
// packages that the stock models or the packages' names call for (skinMeshName()); a skin package
// is a .utx of Textures whose name begins with a model's mesh name. A package or .int that cannot
// be read is a problem, and the check goes on. Throws Failure (NotFound) when the folder holds no
// System or no Textures folder.
GameCheck checkGame(const QString& folder);

// How many, in English: "1 problem", "2 problems".
QString counted(qsizetype count, const QString& thing);

} // namespace quorrel
