#include "window/MenuPanel.h"

#include "window/TextureListModel.h"
#include "window/Titled.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace quorrel {
namespace {

constexpr int kTextureRole = Qt::UserRole; // a list item's texture name

// Puts the items in, keeping the one chosen before when it is still there.
void fill(QListWidget* list, const QList<QPair<QString, QString>>& items) {
    const QString chosen =
        list->currentItem() ? list->currentItem()->data(kTextureRole).toString() : QString();
    QSignalBlocker blocker(list);
    list->clear();
    for (const auto& [texture, description] : items) {
        auto* item = new QListWidgetItem(QStringLiteral("%1  \"%2\"").arg(texture, description));
        item->setData(kTextureRole, texture);
        list->addItem(item);
        if (texture == chosen)
            list->setCurrentItem(item);
    }
    if (!list->currentItem() && list->count() > 0)
        list->setCurrentRow(0);
}

} // namespace

MenuPanel::MenuPanel(const TextureListModel& textures, QWidget* parent)
    : QWidget(parent), m_textures(textures) {
    m_skinList = new QListWidget;
    m_skinList->setObjectName(QStringLiteral("skins"));
    m_faceList = new QListWidget;
    m_faceList->setObjectName(QStringLiteral("faces"));
    m_portrait = new QLabel;
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_portrait->setAlignment(Qt::AlignCenter);
    m_portrait->setMinimumHeight(2 * TextureListModel::kThumbnailSide);
    auto* slots = new QWidget;
    m_slots = new QHBoxLayout(slots);
    m_slots->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(titled(QStringLiteral("Skins"), m_skinList), 2);
    layout->addWidget(titled(QStringLiteral("Faces"), m_faceList), 2);
    layout->addWidget(titled(QStringLiteral("Portrait"), m_portrait));
    layout->addWidget(titled(QStringLiteral("Skin textures"), slots));
    connect(m_skinList, &QListWidget::currentRowChanged, this, &MenuPanel::showSkin);
    connect(m_faceList, &QListWidget::currentRowChanged, this, &MenuPanel::showFace);
}

void MenuPanel::setTextures(const QStringList& textures) {
    m_textureNames = textures;
    m_shown.reset();
}

void MenuPanel::setSkins(QList<MenuSkin> skins) {
    m_skins = std::move(skins);
    QList<QPair<QString, QString>> items;
    for (const MenuSkin& skin : m_skins)
        items.append({skin.texture, skin.description});
    fill(m_skinList, items);
    showSkin();
}

const MenuSkin* MenuPanel::chosenSkin() const {
    const int row = m_skinList->currentRow();
    return row >= 0 && row < m_skins.size() ? &m_skins[row] : nullptr;
}

const MenuFace* MenuPanel::chosenFace() const {
    const MenuSkin* skin = chosenSkin();
    const int row = m_faceList->currentRow();
    return skin && row >= 0 && row < skin->faces.size() ? &skin->faces[row] : nullptr;
}

void MenuPanel::showSkin() {
    QList<QPair<QString, QString>> faces;
    if (const MenuSkin* skin = chosenSkin()) {
        for (const MenuFace& face : skin->faces)
            faces.append({face.texture, face.description});
    }
    fill(m_faceList, faces);
    showFace();
}

void MenuPanel::showFace() {
    // Most edits of the INT text leave the chosen skin and face as they were.
    QString shown;
    if (const QListWidgetItem* skin = m_skinList->currentItem())
        shown = skin->text();
    if (const QListWidgetItem* face = m_faceList->currentItem())
        shown += u'/' + face->text();
    if (m_shown == shown)
        return;
    m_shown = shown;
    while (QLayoutItem* item = m_slots->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_portrait->clear();
    if (const MenuSkin* skin = chosenSkin()) {
        const MenuFace* face = chosenFace();
        const SkinLook look = skinLook(m_textureNames, *skin, face);
        if (const std::optional<int> row = m_textures.rowOf(look.portrait)) {
            const QPixmap picture = m_textures.thumbnail(*row);
            m_portrait->setPixmap(picture.scaled(picture.size() * 2));
        } else if (face) {
            m_portrait->setText(QStringLiteral("no portrait"));
        }
        for (const QString& texture : look.slotTextures) {
            auto* slot = new QLabel;
            if (const std::optional<int> row = m_textures.rowOf(texture))
                slot->setPixmap(m_textures.thumbnail(*row));
            else
                slot->setText(QStringLiteral("none"));
            slot->setToolTip(texture);
            m_slots->addWidget(slot);
        }
        m_slots->addStretch();
    }
    Q_EMIT choiceChanged();
}

} // namespace quorrel
