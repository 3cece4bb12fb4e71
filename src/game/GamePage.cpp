#include "game/GamePage.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/PictureFile.h"
#include "formats/Texture.h"
#include "game/SkinModel.h"
#include "game/SkinPackage.h"
#include "render/ModelPicture.h"

#include <QDir>

#include <optional>

namespace quorrel {
namespace {

constexpr int kSkinSide = 128;
constexpr int kPortraitSide = 64;

// The tool's own colours: green on dark grey.
const char kStyle[] = R"(
body{margin:0 auto;max-width:1400px;padding:12px;background:#404040;color:#e8e8e8;
font:15px/1.4 system-ui,sans-serif}
h1{font-size:1.4em;margin:.2em 0;overflow-wrap:anywhere}
h2{color:#00c000;border-bottom:1px solid #909090;margin-top:1.4em}
h3{margin:.2em 0;overflow-wrap:anywhere}
a{color:#7fd67f}
nav a{margin-right:1em;white-space:nowrap}
.skins{display:grid;grid-template-columns:repeat(auto-fill,minmax(150px,1fr));gap:10px}
figure{margin:0;padding:8px;background:#2c2c2c;border-radius:6px;overflow-wrap:anywhere}
figure>img,.none{display:block;margin:0 auto 6px;background:#000;max-width:100%;height:auto}
.none{width:128px;height:128px;font-size:.8em;padding:4px;box-sizing:border-box}
.faces{list-style:none;padding:0;margin:6px 0 0;display:flex;flex-wrap:wrap;gap:6px}
.faces li{text-align:center;font-size:.85em}
.faces img{display:block;background:#000}
.note,a.warn{font-size:.85em;color:#ffcf66}
.package{background:#2c2c2c;border-radius:6px;padding:8px 12px;margin:8px 0}
.package li{overflow-wrap:anywhere}
@media (max-width:480px){body{padding:6px}.skins{grid-template-columns:repeat(2,1fr)}}
)";

QByteArray html(const QString& text) {
    return text.toHtmlEscaped().toUtf8();
}

// An anchor for a package or model, whatever characters its name holds.
QByteArray anchor(const char* kind, const QString& name) {
    return kind + caseKey(name).toUtf8().toHex();
}

QByteArray image(const Picture& picture, int side, const QString& alt) {
    const int width =
        picture.width >= picture.height ? side : side * picture.width / picture.height;
    const int height =
        picture.width >= picture.height ? side * picture.height / picture.width : side;
    return "<img src=\"data:image/png;base64," + pngBytes(picture).toBase64() + "\" width=\"" +
           QByteArray::number(width) + "\" height=\"" + QByteArray::number(height) + "\" alt=\"" +
           html(alt) + "\">";
}

QByteArray notes(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += "<p class=\"note\">" + html(line) + "</p>";
    return out;
}

// The cards of one model's skins. A package is read once while its skins follow one another, as
// they do .int by .int.
class SkinCards {
public:
    SkinCards(const GameCheck& check, const GameModel& model, const SkinModel* drawn)
        : m_check(check), m_model(model), m_drawn(drawn) {}

    QByteArray card(const MenuSkin& skin, const QHash<QString, int>& problems);

private:
    // The package of that name, read whole into `slot` unless held; null with the reason when it
    // cannot be read.
    const SkinPackage* package(const QString& name, std::optional<SkinPackage>& slot, QString& why);
    QByteArray picture(const MenuSkin& skin, const SkinPackage& package, QStringList& why);
    QByteArray portraits(const MenuSkin& skin);

    const GameCheck& m_check;
    const GameModel& m_model;
    const SkinModel* m_drawn;
    // The last two packages read: the skin's, and another of its faces'.
    std::optional<SkinPackage> m_skin, m_other;
    QString m_unread, m_unreadWhy; // the last package that could not be read, and why
};

const SkinPackage* SkinCards::package(const QString& name, std::optional<SkinPackage>& slot,
                                      QString& why) {
    for (std::optional<SkinPackage>* held : {&m_skin, &slot}) {
        if (*held && sameIgnoringCase((*held)->name, name))
            return &**held;
    }
    if (sameIgnoringCase(m_unread, name)) {
        why = m_unreadWhy;
        return nullptr;
    }
    const QString file = m_check.packageFiles.value(caseKey(name));
    slot.reset(); // one package's bytes at a time
    try {
        if (file.isEmpty())
            throw Failure::notFound(QStringLiteral("no package %1").arg(name));
        slot = readSkinPackage(file);
        slot->name = name; // as the entries name it, also for a .u
        return &*slot;
    } catch (const std::exception& failure) {
        m_unread = name;
        m_unreadWhy = why =
            (file.isEmpty()
                 ? QString()
                 : QDir::toNativeSeparators(QDir(m_check.folder).relativeFilePath(file)) +
                       QStringLiteral(": ")) +
            failureText(failure);
        return nullptr;
    }
}

QByteArray SkinCards::picture(const MenuSkin& skin, const SkinPackage& package, QStringList& why) {
    if (!m_drawn)
        return {};
    const bool single = m_model.menu.singleSkin;
    QString face;
    for (const MenuFace& listed : skin.faces) {
        if (face.isEmpty() && sameIgnoringCase(listed.package, skin.package))
            face = listed.texture.sliced(5);
    }
    try {
        const SkinChoice choice =
            chooseSkin(m_model.menu.mesh, package.textures,
                       single ? skin.texture : skin.texture.left(4), face, -1);
        const DressedModel dressed = dressModel(*m_drawn, package, choice);
        why += dressed.problems;
        return image(drawModel(m_drawn->triangles, dressed.pictures, kSkinSide, kSkinSide, 0),
                     kSkinSide, skin.description);
    } catch (const std::exception& failure) {
        why << failureText(failure);
        return {};
    }
}

QByteArray SkinCards::portraits(const MenuSkin& skin) {
    QByteArray out;
    for (const MenuFace& face : skin.faces) {
        QString why;
        QByteArray portrait;
        if (const SkinPackage* holder = package(face.package, m_other, why)) {
            try {
                const QString name = skinLook(holder->textures, skin, &face).portrait;
                const Picture picture = name.isEmpty() ? Picture()
                                                       : namedTexture(holder->bytes, holder->tables,
                                                                      name, kPortraitSide);
                if (!picture.isNull())
                    portrait = image(picture, kPortraitSide, face.description);
                else
                    why = QStringLiteral("no portrait");
            } catch (const std::exception& failure) {
                why = failureText(failure);
            }
        }
        out += "<li>" + portrait + html(face.description) + "<br><code>" + html(face.texture) +
               "</code>" + (why.isEmpty() ? QByteArray() : notes({why})) + "</li>";
    }
    return out.isEmpty() ? out : "<ul class=\"faces\">" + out + "</ul>";
}

QByteArray SkinCards::card(const MenuSkin& skin, const QHash<QString, int>& problems) {
    QStringList why;
    QByteArray drawn;
    QString unread;
    if (const SkinPackage* holder = package(skin.package, m_skin, unread))
        drawn = picture(skin, *holder, why);
    else
        why << unread;
    if (drawn.isEmpty())
        drawn = "<div class=\"none\">not drawn</div>";
    QByteArray out = "<figure>" + drawn + "<figcaption><b>" + html(skin.description) +
                     "</b><br><code>" + html(skin.texture) + "</code> from " + html(skin.package);
    if (const int count = problems.value(caseKey(skin.package)))
        out += " <a class=\"warn\" href=\"#" + anchor("p-", skin.package) + "\">" +
               html(QStringLiteral("\u26A0 ") + counted(count, QStringLiteral("problem"))) + "</a>";
    return out + "</figcaption>" + portraits(skin) + notes(why) + "</figure>\n";
}

} // namespace

QByteArray gamePage(const GameCheck& check, const PageProgress& progress) {
    const QString folder = QDir::toNativeSeparators(check.folder);
    qsizetype total = 0, done = 0;
    for (const GameModel& model : check.models)
        total += model.skins.size();
    // The problems under their package, or their file where they concern none.
    QStringList packages;
    QHash<QString, QStringList> byPackage;
    QHash<QString, int> counts;
    for (const GameProblem& problem : check.problems) {
        const QString key = problem.package.isEmpty() ? problem.files.value(0) : problem.package;
        if (!byPackage.contains(caseKey(key)))
            packages << key;
        byPackage[caseKey(key)] << problem.text;
        ++counts[caseKey(key)];
    }

    QByteArray page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                      "<title>" +
                      html(QStringLiteral("Player menu of %1").arg(folder)) + "</title><style>" +
                      kStyle + "</style></head><body>\n<h1>" +
                      html(QStringLiteral("Player menu of %1").arg(folder)) + "</h1><p>" +
                      html(QStringLiteral("%1, %2 listed, %3")
                               .arg(counted(check.models.size(), QStringLiteral("model")),
                                    counted(total, QStringLiteral("skin")),
                                    counted(check.problems.size(), QStringLiteral("problem")))) +
                      "</p><nav>";
    for (const GameModel& model : check.models)
        page +=
            "<a href=\"#" + anchor("m-", model.menu.mesh) + "\">" + html(model.menu.mesh) + "</a> ";
    page += "<a href=\"#problems\">Problems</a></nav>\n";

    for (const GameModel& model : check.models) {
        QStringList about{
            QDir::toNativeSeparators(QDir(check.folder).relativeFilePath(model.file))};
        if (model.menu.singleSkin)
            about << QStringLiteral("single-skin: the menu lists its skins by their names");
        page += "<section id=\"" + anchor("m-", model.menu.mesh) + "\"><h2>" +
                html(model.menu.mesh) + "</h2><p>" + html(about.join(QStringLiteral("; "))) +
                "</p>";
        std::optional<SkinModel> drawn;
        if (!model.skins.isEmpty()) {
            try {
                drawn = loadSkinModel(model.menu.mesh, {check.system});
            } catch (const std::exception& failure) {
                page +=
                    notes({QStringLiteral("The model cannot be drawn: ") + failureText(failure)});
            }
        }
        if (model.skins.isEmpty())
            page += "<p>The menu lists no skin.</p>";
        page += "<div class=\"skins\">\n";
        SkinCards cards(check, model, drawn ? &*drawn : nullptr);
        for (const MenuSkin& skin : model.skins) {
            page += cards.card(skin, counts);
            if (progress)
                progress(++done, total);
        }
        page += "</div></section>\n";
    }

    page += "<section id=\"problems\"><h2>Problems</h2>";
    if (packages.isEmpty())
        page += "<p>None: the menu lists every skin and face the game's packages hold.</p>";
    for (const QString& package : packages) {
        page += "<article class=\"package\" id=\"" + anchor("p-", package) + "\"><h3>" +
                html(package) + "</h3><ul>";
        for (const QString& text : byPackage[caseKey(package)])
            page += "<li>" + html(text) + "</li>";
        page += "</ul></article>\n";
    }
    return page + "</section></body></html>\n";
}

} // namespace quorrel
