#include "workflows/GeneratorState.h"

#include "base/Files.h"
#include "formats/IntFile.h"
#include "rules/NameFields.h"
#include "rules/PictureOrder.h"
#include "rules/PictureScan.h"

#include <algorithm>

namespace quorrel {

GeneratorState::GeneratorState(QObject* parent) : QObject(parent) {}

void GeneratorState::setPackageName(const QString& name) {
    if (name == m_packageName)
        return;
    m_packageName = name;
    const NameFieldValues fields = nameFieldsFor(name);
    setMeshName(fields.meshName);
    setSkinDescription(fields.skinDescription);
    Q_EMIT packageNameChanged(m_packageName);
}

void GeneratorState::setMeshName(const QString& name) {
    if (name == m_meshName)
        return;
    m_meshName = name;
    Q_EMIT meshNameChanged(m_meshName);
}

void GeneratorState::setSkinDescription(const QString& description) {
    if (description == m_skinDescription)
        return;
    m_skinDescription = description;
    Q_EMIT skinDescriptionChanged(m_skinDescription);
}

void GeneratorState::setNames(QStringList names) {
    if (names.isEmpty() && m_names.isEmpty())
        return;
    m_names = std::move(names);
    Q_EMIT namesChanged();
}

void GeneratorState::setPictures(QStringList pictures) {
    if (pictures.isEmpty() && m_pictures.isEmpty())
        return;
    if (!std::is_sorted(pictures.cbegin(), pictures.cend(), pictureLess))
        sortPictures(pictures);
    m_pictures = std::move(pictures);
    Q_EMIT picturesChanged();
}

void GeneratorState::setCountText(const QString& text) {
    if (text == m_countText)
        return;
    m_countText = text;
    Q_EMIT countTextChanged(m_countText);
}

void GeneratorState::setMakeIntEnabled(bool enabled) {
    if (enabled == m_makeIntEnabled)
        return;
    m_makeIntEnabled = enabled;
    Q_EMIT makeIntEnabledChanged(m_makeIntEnabled);
}

void GeneratorState::setIntText(const QString& text) {
    if (text == m_intText)
        return;
    m_intText = text;
    Q_EMIT intTextChanged(m_intText);
}

void GeneratorState::setInfoText(const QString& text) {
    if (text == m_infoText)
        return;
    m_infoText = text;
    Q_EMIT infoTextChanged(m_infoText);
}

void GeneratorState::setInfoPanelShown(bool shown) {
    if (shown == m_infoPanelShown)
        return;
    m_infoPanelShown = shown;
    Q_EMIT infoPanelShownChanged(m_infoPanelShown);
}

void GeneratorState::setPackageFile(const QString& path) {
    m_packageFile = path;
    Q_EMIT packageFileChanged(m_packageFile);
}

namespace {

void takeScan(GeneratorState& state, PictureScan& scan) {
    state.setNames(std::move(scan.names));
    state.setPictures(std::move(scan.pictures));
    state.setCountText(countTextFor(state.pictureCount()));
}

} // namespace

void ParseFile(GeneratorState& state, const QString& fName) {
    ParseBytes(state, readWholeFile(fName), fName);
}

void ParseBytes(GeneratorState& state, QByteArrayView bytes, const QString& source) {
    PictureScan scan = scanPictures(bytes, state.meshName());
    state.setPackageFile(source);
    takeScan(state, scan);
    requireComplete(scan);
    state.setMakeIntEnabled(true);
}

void RescanPictures(GeneratorState& state, QByteArrayView bytes) {
    PictureScan scan = scanPictures(bytes, state.meshName());
    takeScan(state, scan);
}

void MakeInt(GeneratorState& state) {
    state.setIntText(buildIntText(state.packageName(), state.skinDescription(), state.pictures()));
}

} // namespace quorrel
