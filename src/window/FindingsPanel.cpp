#include "window/FindingsPanel.h"

#include "window/TextureListModel.h"
#include "window/Titled.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>

namespace quorrel {
namespace {

constexpr int kTextureRole = Qt::UserRole; // a finding's texture name

} // namespace

FindingsPanel::FindingsPanel(const TextureListModel& textures, QWidget* parent)
    : QWidget(parent), m_textures(textures) {
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("findings"));
    const int side = TextureListModel::kThumbnailSide;
    m_list->setIconSize(QSize(side / 2, side / 2));
    m_useGameInt = new QPushButton(QStringLiteral("Use the game's INT"));
    m_useGameInt->setObjectName(QStringLiteral("useGameInt"));
    m_useGameInt->setToolTip(QStringLiteral(
        "Put the .int the game's menu needs into the INT box: every texture, each skin and face "
        "described, the first skin by the skin description"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(titled(QStringLiteral("What the menu will miss"), m_list), 1);
    layout->addWidget(m_useGameInt, 0, Qt::AlignBottom);
    connect(m_list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            Q_EMIT textureChosen(item->data(kTextureRole).toString());
    });
    connect(m_useGameInt, &QPushButton::clicked, this, &FindingsPanel::gameIntAsked);
}

void FindingsPanel::setFindings(const QList<QPair<QString, QString>>& findings, bool packageRead) {
    const QString chosen = m_list->currentItem() ? m_list->currentItem()->text() : QString();
    QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const auto& [texture, text] : findings) {
        auto* item = new QListWidgetItem(text, m_list);
        item->setData(kTextureRole, texture);
        if (const std::optional<int> row = m_textures.rowOf(texture))
            item->setIcon(m_textures.thumbnail(*row));
        if (text == chosen)
            m_list->setCurrentItem(item);
    }
    if (findings.isEmpty() && packageRead)
        m_list->addItem(QStringLiteral("Nothing: the menu lists every skin and face the package "
                                       "holds."));
}

void FindingsPanel::setGameIntEnabled(bool enabled) {
    m_useGameInt->setEnabled(enabled);
}

} // namespace quorrel
