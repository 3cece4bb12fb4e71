#include "rules/PlayerModels.h"

#include "base/IgnoringCase.h"
#include "rules/NameFields.h"

#include <algorithm>

namespace quorrel {
namespace {

constexpr StockModel kStockModels[] = {
    {u"Commando", SkinLayout::Commando, u"Botpack.u"},
    {u"Soldier", SkinLayout::Soldier, u"Botpack.u"},
    {u"FCommando", SkinLayout::FemaleCommando, u"Botpack.u"},
    {u"SGirl", SkinLayout::Soldier, u"Botpack.u"},
    {u"Boss", SkinLayout::Boss, u"Botpack.u"},
    {u"TSkM", SkinLayout::Commando, u"EpicCustomModels.u"},
    {u"tnalimesh", SkinLayout::SingleSkin, u"EpicCustomModels.u", u"T_nali_"},
    {u"TCowMesh", SkinLayout::SingleSkin, u"EpicCustomModels.u", u"T_cow_", u"cowpack"},
};

} // namespace

const StockModel* stockModel(QStringView meshName) {
    for (const StockModel& model : kStockModels) {
        if (sameIgnoringCase(model.mesh, meshName))
            return &model;
    }
    return nullptr;
}

bool isStockModelPackage(QStringView fileName) {
    return std::any_of(
        std::begin(kStockModels), std::end(kStockModels),
        [&](const StockModel& model) { return sameIgnoringCase(model.package, fileName); });
}

SkinLayout skinLayoutFor(QStringView meshName) {
    const StockModel* model = stockModel(meshName);
    return model ? model->layout : SkinLayout::Guessed;
}

SingleSkinRole singleSkinRole(QStringView meshName, QStringView texture) {
    const StockModel* model = stockModel(meshName);
    if (model && !model->pack.isEmpty() && sameIgnoringCase(texture, model->pack))
        return SingleSkinRole::Pack;
    if (startsWithIgnoringCase(texture, u"T_"))
        return SingleSkinRole::Team;
    if (sameIgnoringCase(texture.right(4), u"face"))
        return SingleSkinRole::TalkPicture;
    return SingleSkinRole::Skin;
}

QString skinMeshName(const QString& packageName) {
    QString mesh = meshNameFor(packageName);
    if (mesh.size() >= 5 && sameIgnoringCase(mesh.right(5), u"Skins"))
        mesh.chop(5);
    const StockModel* stock = stockModel(mesh);
    return stock ? stock->mesh.toString() : mesh;
}

} // namespace quorrel
